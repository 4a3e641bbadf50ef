#include "cli/CliBatch_Unt.h"

#include "cli/CliOutput_Unt.h"
#include "lang/ConstLang_Unt.h"

TCliBatch::TCliBatch(const TCliOptions &options, const TCliInput *input, const TBackupStore &backups,
                     TCliOutput &output, QObject *parent)
    : QObject(parent), m_options(options), m_input(input), m_backups(backups), m_output(output)
{
}

void TCliBatch::Start()
{
    Next();
}

void TCliBatch::Next()
{
    if (m_results.size() < m_options.Ports.size()) {
        const QString port = m_options.Ports.at(m_results.size());
        auto *task = new TCliTask(m_options, m_input, m_backups, port, this);
        connect(task, &TCliTask::progress, this,
                [this, port](int value, int maximum) { m_output.Progress(port, value, maximum); });
        connect(task, &TCliTask::finished, this, [this, task] {
            const TCliResult result = task->Result();
            task->deleteLater();
            m_results << result;
            m_exitCode = qMax(m_exitCode, result.ExitCode);
            m_output.DeviceDone(result);
            Next();
        });
        task->Start();
        return;
    }
    if (!m_options.Report.isEmpty()) {
        const QString error = TCliOutput::WriteReportCsv(m_results, m_options.Language, m_options.Report);
        if (!error.isEmpty()) {
            m_output.Error(ConstLang::Text(QStringLiteral("CliCannotWriteFile"), m_options.Language)
                               .arg(m_options.Report, error));
            m_exitCode = qMax(m_exitCode, CliExit::BadInput);
        }
    }
    m_output.Summary(m_results, m_exitCode);
    emit finished(m_exitCode);
}
