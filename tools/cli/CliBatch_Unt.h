#pragma once

#include "cli/CliOptions_Unt.h"
#include "cli/CliTask_Unt.h"

#include <QList>
#include <QObject>

#include <optional>
#include <vector>

class TBackupStore;
class TCliInput;
class TCliOutput;

// Runs the command on each port, up to Parallel devices at once (each on
// its own session), the next port starting as soon as one ends; a device
// that fails does not stop the others. Each device's lines and the report
// come in the order of the ports given, whichever ends first. Ends with the
// highest exit code of the devices (and of writing the report).
class TCliBatch : public QObject
{
    Q_OBJECT
public:
    TCliBatch(const TCliOptions &options, const TCliInput *input, const TBackupStore &backups, TCliOutput &output,
              QObject *parent = nullptr);

    void Start();
    const QList<TCliResult> &Results() const { return m_results; }

signals:
    void finished(int exitCode);

private:
    void StartNext();
    void TaskDone(int index, const TCliResult &result);
    void ShowProgress();
    void Finish();

    struct TRunning
    {
        QString port;
        int value = 0;
        int maximum = 0;
    };

    const TCliOptions &m_options;
    const TCliInput *m_input;
    const TBackupStore &m_backups;
    TCliOutput &m_output;
    // Indexed by the port's place in the options.
    std::vector<std::optional<TCliResult>> m_done;
    std::vector<std::optional<TRunning>> m_running;
    QList<TCliResult> m_results;
    int m_next = 0;
    int m_active = 0;
    int m_exitCode = CliExit::Done;
};
