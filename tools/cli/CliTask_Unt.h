#pragma once

#include "cli/CliOptions_Unt.h"
#include "session/DeviceJob_Unt.h"
#include "session/JobVerdict_Unt.h"
#include "session/LoginJob_Unt.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

#include <functional>

class TAuditRecorder;
class TBackupStore;
class TCliInput;
class TDeviceConnection;

// What one command did on one device.
struct TCliResult
{
    QString Port;
    QString Model;
    QString Imei;
    int ExitCode = CliExit::Done;
    QString Message;       // one line, in the chosen language
    double Seconds = 0;
    QStringList Details;   // lines shown before the message (fields, differences)
    QJsonObject Data;      // the same for --json
};

// Runs the command of the options on one port: opens it, logs in, takes
// the command's steps as device jobs (nothing here waits), closes the port
// and emits finished() once with Result() filled. A check that fails before
// the command's first request (a profile for another model, no backup of
// the device) sends nothing but the login.
class TCliTask : public QObject
{
    Q_OBJECT
public:
    // options, input and backups outlive the task; input may be null when
    // the command takes no file.
    TCliTask(const TCliOptions &options, const TCliInput *input, const TBackupStore &backups, const QString &port,
             QObject *parent = nullptr);

    void Start();
    const TCliResult &Result() const { return m_result; }

signals:
    void progress(int value, int maximum);
    void finished();

private:
    QString Text(const char *key) const;
    // Starts job on the connection; then runs when it ends as Done, other
    // ends finish the task with the job's verdict.
    void Run(TDeviceJob *job, std::function<void()> then);
    void Finish(const TJobVerdict &verdict);
    // A verdict of the task's own (a file, a backup, a check before sending).
    void Finish(int exitCode, const char *key, const QStringList &args = {});
    // The field captions the tool names fields by.
    TJobVerdict::TCaptionOf CaptionOf() const;
    void AddDetail(const QString &key, const QString &label, const QString &value);

    void LoggedIn();
    void Info();
    void ReadImage(std::function<void(const QByteArray &)> then);
    void SaveRead(const QByteArray &image);
    void Write(const QByteArray &image, const char *doneKey);
    void Diff(const QByteArray &device);
    void Backup(const QByteArray &device);
    void Restore();
    void History();
    void EraseHistory();
    void Clock();
    void ShowClock(const char *doneKey);
    void Relay();

    const TCliOptions &m_options;
    const TCliInput *m_input;
    const TBackupStore &m_backups;
    QString m_port;
    TDeviceConnection *m_connection;
    TAuditRecorder *m_audit;
    TDeviceIdentity m_identity;
    TCliResult m_result;
    QElapsedTimer m_elapsed;
    bool m_finished = false;
};
