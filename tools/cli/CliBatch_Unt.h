#pragma once

#include "cli/CliOptions_Unt.h"
#include "cli/CliTask_Unt.h"

#include <QList>
#include <QObject>

class TBackupStore;
class TCliInput;
class TCliOutput;

// Runs the command on each port in turn, one device at a time; a device
// that fails does not stop the others. Ends with the highest exit code of
// the devices (and of writing the report).
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
    void Next();

    const TCliOptions &m_options;
    const TCliInput *m_input;
    const TBackupStore &m_backups;
    TCliOutput &m_output;
    QList<TCliResult> m_results;
    int m_exitCode = CliExit::Done;
};
