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
    const auto ports = std::size_t(m_options.Ports.size());
    m_done.assign(ports, std::nullopt);
    m_running.assign(ports, std::nullopt);
    if (ports == 0) {
        Finish();
        return;
    }
    const int lanes = qMax(1, m_options.Parallel);
    while (m_active < lanes && m_next < m_options.Ports.size())
        StartNext();
}

void TCliBatch::StartNext()
{
    const int index = m_next++;
    const QString port = m_options.Ports.at(index);
    auto *task = new TCliTask(m_options, m_input, m_backups, port, this);
    ++m_active;
    m_running[std::size_t(index)] = TRunning{port, 0, 0};
    connect(task, &TCliTask::progress, this, [this, index](int value, int maximum) {
        std::optional<TRunning> &running = m_running[std::size_t(index)];
        if (!running)
            return;
        running->value = value;
        running->maximum = maximum;
        ShowProgress();
    });
    connect(task, &TCliTask::finished, this, [this, task, index] {
        const TCliResult result = task->Result();
        task->deleteLater();
        TaskDone(index, result);
    });
    task->Start();
}

void TCliBatch::ShowProgress()
{
    if (m_options.Parallel <= 1) {
        for (const std::optional<TRunning> &running : m_running) {
            if (running)
                m_output.Progress(running->port, running->value, running->maximum);
        }
        return;
    }
    // One line for every device under way, in the order of the ports.
    QStringList parts;
    for (const std::optional<TRunning> &running : m_running) {
        if (!running)
            continue;
        const int percent = running->maximum > 0
            ? int(qint64(qBound(0, running->value, running->maximum)) * 100 / running->maximum)
            : 0;
        parts << QStringLiteral("%1 %2%").arg(running->port).arg(percent);
    }
    m_output.ProgressLine(parts.join(QStringLiteral("  ")));
}

void TCliBatch::TaskDone(int index, const TCliResult &result)
{
    --m_active;
    m_running[std::size_t(index)].reset();
    m_done[std::size_t(index)] = result;
    m_exitCode = qMax(m_exitCode, result.ExitCode);
    // A device's lines wait for those of the ports before it.
    while (m_results.size() < m_options.Ports.size() && m_done[std::size_t(m_results.size())]) {
        const TCliResult &next = *m_done[std::size_t(m_results.size())];
        m_results << next;
        m_output.DeviceDone(next);
    }
    if (m_next < m_options.Ports.size()) {
        StartNext();
        return;
    }
    if (m_active == 0)
        Finish();
    else
        ShowProgress();
}

void TCliBatch::Finish()
{
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
