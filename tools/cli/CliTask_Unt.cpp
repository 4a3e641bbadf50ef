#include "cli/CliTask_Unt.h"

#include "audit/AuditRecorder_Unt.h"
#include "base/FileSafety_Unt.h"
#include "cli/CliInput_Unt.h"
#include "config/FieldCaptions_Unt.h"
#include "config/ConfigDiff_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "profiles/BackupStore_Unt.h"
#include "profiles/ProfileImage_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/DeviceConnection_Unt.h"
#include "session/HistoryDownload_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/RelayJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"

#include <QDir>
#include <QJsonArray>

#include <memory>

namespace {

// The relay byte of the current-values data follows the 16 sensor values.
constexpr int kRelayByte = 32;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
const QString kHiddenSecret = QStringLiteral("\u2022\u2022\u2022\u2022");


} // namespace

TCliTask::TCliTask(const TCliOptions &options, const TCliInput *input, const TBackupStore &backups,
                   const QString &port, QObject *parent)
    : QObject(parent), m_options(options), m_input(input), m_backups(backups), m_port(port),
      m_connection(new TDeviceConnection(this)),
      m_audit(new TAuditRecorder(m_connection, TAuditRecorder::TFace::Tool, QString(), this))
{
    m_result.Port = port;
    m_audit->SetLanguage(options.Language);
    // A read that could not be recorded goes on; the tool says so.
    connect(m_audit, &TAuditRecorder::notLogged, this, [this](const QString &text) {
        m_result.Details << text;
        m_result.Data.insert(QStringLiteral("audit"), text);
    });
}

QString TCliTask::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_options.Language);
}

TJobVerdict::TCaptionOf TCliTask::CaptionOf() const
{
    const int model = m_identity.modelIndex;
    const int language = m_options.Language;
    return [model, language](const TConfigError &where) {
        return FieldCaptions::Caption(where.Control, where.Row, where.SubItem, model, language);
    };
}

void TCliTask::Start()
{
    m_elapsed.start();
    TLoginJob *login = m_connection->Login(m_port, m_options.Password, true);
    Run(login, [this, login] {
        m_identity = login->Identity();
        m_result.Model = m_identity.model;
        m_result.Imei = m_identity.imei;
        LoggedIn();
    });
}

void TCliTask::Run(TDeviceJob *job, std::function<void()> then)
{
    job->setParent(this);
    // The audit trail's entry names why, and a write of a backup as a restore.
    TJobNote note;
    note.reason = m_options.Reason;
    if (m_options.Command == TCliCommand::Restore && qobject_cast<TVerifiedWriteJob *>(job))
        note.action = QStringLiteral("restore");
    job->SetNote(note);
    connect(job, &TDeviceJob::progressChanged, this, &TCliTask::progress);
    connect(job, &TDeviceJob::finished, this, [this, job, then = std::move(then)](TDeviceJob::TOutcome outcome) {
        job->deleteLater();
        if (outcome == TDeviceJob::TOutcome::Done)
            then();
        else
            Finish(TJobVerdict::Of(*job, CaptionOf()));
    });
    if (!job->start())
        Finish(CliExit::NoAnswer, "CliLineLost");
}

void TCliTask::Finish(const TJobVerdict &verdict)
{
    if (m_finished)
        return;
    m_finished = true;
    m_result.ExitCode = verdict.exitCode;
    m_result.Message = verdict.ToolText(m_options.Language);
    // A network server that refused, did not answer or hung up says why.
    const QString lineError = m_connection->Session() ? m_connection->Session()->lineError() : QString();
    if (verdict.exitCode == CliExit::NoAnswer && !lineError.isEmpty()) {
        m_result.Message = verdict.toolKey == QLatin1String("CliLineLost")
            ? lineError
            : m_result.Message + QStringLiteral(" (") + lineError + QLatin1Char(')');
    }
    m_result.Seconds = double(m_elapsed.elapsed()) / 1000.0;
    m_connection->Close();
    emit finished();
}

void TCliTask::Finish(int exitCode, const char *key, const QStringList &args)
{
    const TJobVerdict::TSeverity severity =
        exitCode == CliExit::Done ? TJobVerdict::TSeverity::Done : TJobVerdict::TSeverity::Error;
    Finish(TJobVerdict::Make(severity, exitCode, QString(), {}, QString::fromLatin1(key), args));
}

void TCliTask::AddDetail(const QString &key, const QString &label, const QString &value)
{
    m_result.Details << label + QStringLiteral(": ") + value;
    m_result.Data.insert(key, value);
}

void TCliTask::LoggedIn()
{
    switch (m_options.Command) {
    case TCliCommand::Info:
        Info();
        break;
    case TCliCommand::Read:
        ReadImage([this](const QByteArray &image) { SaveRead(image); });
        break;
    case TCliCommand::Write: {
        QString error;
        const QByteArray image = m_input->ImageFor(m_identity.modelIndex, &error);
        if (image.isEmpty())
            Finish(TJobVerdict::Make(TJobVerdict::TSeverity::Error, CliExit::BadInput, QString(), {}, QString(), {error}));
        else
            Write(image, "CliWritten");
        break;
    }
    case TCliCommand::Diff: {
        QString error;
        if (m_input->ImageFor(m_identity.modelIndex, &error).isEmpty())
            Finish(TJobVerdict::Make(TJobVerdict::TSeverity::Error, CliExit::BadInput, QString(), {}, QString(), {error}));
        else
            ReadImage([this](const QByteArray &image) { Diff(image); });
        break;
    }
    case TCliCommand::Backup:
        ReadImage([this](const QByteArray &image) { Backup(image); });
        break;
    case TCliCommand::Restore:
        Restore();
        break;
    case TCliCommand::History:
        History();
        break;
    case TCliCommand::EraseHistory:
        EraseHistory();
        break;
    case TCliCommand::Clock:
        Clock();
        break;
    case TCliCommand::Relay:
        Relay();
        break;
    case TCliCommand::Ports:
    case TCliCommand::None:
        Finish(CliExit::BadInput, "CliNoCommand");
        break;
    }
}

void TCliTask::Info()
{
    AddDetail(QStringLiteral("model"), Text("CliFieldModel"), m_identity.model);
    AddDetail(QStringLiteral("firmware"), Text("CliFieldFirmware"), m_identity.version);
    AddDetail(QStringLiteral("imei"), Text("CliFieldImei"), m_identity.imei);
    AddDetail(QStringLiteral("signal"), Text("CliFieldSignal"), m_identity.signal);
    ShowClock("CliInfoDone");
}

void TCliTask::ShowClock(const char *doneKey)
{
    TClockReadJob *read = m_connection->ReadClock();
    Run(read, [this, read, doneKey] {
        AddDetail(QStringLiteral("clock"), Text("CliFieldClock"), read->Clock().toString(kTimeFormat));
        Finish(CliExit::Done, doneKey);
    });
}

void TCliTask::ReadImage(std::function<void(const QByteArray &)> then)
{
    TConfigReadJob *read = m_connection->ReadConfig(false);
    Run(read, [read, then = std::move(then)] { then(read->Image().left(ConfigMap::ImageSize)); });
}

void TCliTask::SaveRead(const QByteArray &image)
{
    const QString fileName =
        CliOutputName(m_options.Out, m_port, m_identity.imei, m_identity.model);
    m_result.Data.insert(QStringLiteral("file"), fileName);
    if (fileName.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive)) {
        // The image holds the device's password.
        const FileSafety::TSaveResult saved = FileSafety::SaveFile(fileName, image, true);
        if (!saved.ok()) {
            Finish(CliExit::BadInput, "CliCannotWriteFile",
                   {fileName, saved.error == FileSafety::TFileError::NotRegular ? Text("CliNotRegularFile")
                                                                                : saved.detail});
            return;
        }
    } else {
        const TDecodeResult decoded = DecodeImage(image, m_identity.modelIndex);
        const TIniResult saved = decoded.Ok() ? TProfileImage::Save(decoded.Values, m_identity.modelIndex,
                                                                    m_options.Language, fileName)
                                              : TIniResult{TIniError::WriteFailed, QString()};
        if (!saved) {
            Finish(CliExit::BadInput, "CliCannotWriteFile", {fileName, saved.detail});
            return;
        }
    }
    Finish(CliExit::Done, "CliReadDone", {QDir::toNativeSeparators(fileName)});
}

void TCliTask::Write(const QByteArray &image, const char *doneKey)
{
    const QString imei = m_identity.imei;
    const int model = m_identity.modelIndex;
    const int language = m_options.Language;
    const TBackupStore &backups = m_backups;
    auto backupPath = std::make_shared<QString>();
    TVerifiedWriteJob *write = m_connection->WriteVerified(
        image, QByteArray(),
        [&backups, imei, model, language, backupPath](const QByteArray &deviceImage, QString *keptFile) {
            TBackupEntry kept;
            const QString error = backups.Keep(imei, deviceImage, model, language, QDateTime::currentDateTime(), &kept);
            *backupPath = kept.imagePath;
            *keptFile = kept.imagePath;
            return error;
        });
    // The backup kept is named however the write ends.
    connect(write, &TDeviceJob::finished, this, [this, backupPath] {
        if (!backupPath->isEmpty())
            m_result.Data.insert(QStringLiteral("backup"), QDir::toNativeSeparators(*backupPath));
    });
    Run(write, [this, doneKey] { Finish(CliExit::Done, doneKey); });
}

void TCliTask::Diff(const QByteArray &device)
{
    const int model = m_identity.modelIndex;
    QString error;
    QByteArray file = m_input->ImageFor(model, &error);
    // A profile holds what the window shows: compared as Compare with
    // Device compares the panes, so that bytes no field holds do not count.
    const QList<TFieldDiff> diffs =
        m_input->IsProfile() ? DiffDeviceWithSettings(device, file, model) : DiffConfigImages(device, file, model);
    QJsonArray fields;
    for (TFieldDiff diff : diffs) {
        const QString caption = FieldCaptions::Caption(diff.Control, diff.Row, diff.SubItem, model, m_options.Language);
        // Others may read the screen, the terminal's log or the JSON.
        if (!m_options.ShowSecrets
            && (diff.Control == ConfigControls::MainPassword || diff.Control == ConfigControls::GprsPassword)) {
            diff.Before = kHiddenSecret;
            diff.After = kHiddenSecret;
        }
        // Timer days and actions in words, as the window's tables show them.
        m_result.Details << QStringLiteral("%1: %2 -> %3")
                                .arg(caption, DiffValueText(diff, diff.Before, m_options.Language),
                                     DiffValueText(diff, diff.After, m_options.Language));
        fields.append(QJsonObject{{QStringLiteral("field"), caption},
                                  {QStringLiteral("control"), diff.Control},
                                  {QStringLiteral("row"), diff.Row},
                                  {QStringLiteral("subItem"), diff.SubItem},
                                  {QStringLiteral("device"), diff.Before},
                                  {QStringLiteral("file"), diff.After}});
    }
    m_result.Data.insert(QStringLiteral("differences"), fields);
    if (diffs.isEmpty())
        Finish(CliExit::Done, "CliDiffEqual");
    else
        Finish(CliExit::Differences, "CliDiffDifferent", {QString::number(diffs.size())});
}

void TCliTask::Backup(const QByteArray &device)
{
    TBackupEntry kept;
    const QString error = m_backups.Keep(m_identity.imei, device, m_identity.modelIndex, m_options.Language,
                                         QDateTime::currentDateTime(), &kept);
    if (!error.isEmpty()) {
        Finish(CliExit::BadInput, "CliBackupNotKept", {error});
        return;
    }
    m_result.Data.insert(QStringLiteral("backup"), QDir::toNativeSeparators(kept.imagePath));
    m_result.Data.insert(QStringLiteral("profile"), QDir::toNativeSeparators(kept.profilePath));
    Finish(CliExit::Done, "CliBackupDone", {QDir::toNativeSeparators(kept.imagePath)});
}

void TCliTask::Restore()
{
    const QList<TBackupEntry> entries = m_backups.List(m_identity.imei);
    for (const TBackupEntry &entry : entries) {
        if (m_options.At.isValid() && entry.time > m_options.At)
            continue;
        // A backup is written only when it is one: a file of random bytes
        // would lock the user out of the device.
        QByteArray image;
        const TBackupFault fault = TBackupStore::Check(entry, m_identity.modelIndex, &image);
        if (fault != TBackupFault::None) {
            Finish(CliExit::BadInput, "CliBackupRefused",
                   {QDir::toNativeSeparators(entry.imagePath), TBackupStore::FaultText(fault, m_options.Language)});
            return;
        }
        m_result.Data.insert(QStringLiteral("restored"), QDir::toNativeSeparators(entry.imagePath));
        AddDetail(QStringLiteral("backupTime"), Text("CliFieldBackupTime"), entry.time.toString(kTimeFormat));
        Write(image, "CliRestored");
        return;
    }
    if (m_options.At.isValid())
        Finish(CliExit::BadInput, "CliNoBackupAt", {m_identity.imei, m_options.At.toString(kTimeFormat)});
    else
        Finish(CliExit::BadInput, "CliNoBackup", {m_identity.imei, QDir::toNativeSeparators(m_backups.Folder())});
}

void TCliTask::History()
{
    auto grid = std::make_shared<THistoryGridModel>();
    auto soft = std::make_shared<TSoftHistory>();
    const int model = m_identity.modelIndex;
    const int quantity = m_options.Count;
    soft->InitGrid(*grid);
    soft->SetValueColumns(*grid, model, m_options.Language);
    soft->SetTexts(THistoryTexts::ForLanguage(m_options.Language));
    // Collected into the archive the window uses: opened before anything is
    // read, so that a locked or damaged archive costs no download.
    std::shared_ptr<THistoryArchive> archive;
    if (m_options.Archive) {
        archive = std::make_shared<THistoryArchive>();
        if (archive->Open() != THistoryArchive::TStatus::Ready) {
            Finish(CliExit::BadInput, "CliArchiveUnusable", {archive->ProblemText(m_options.Language)});
            return;
        }
    }
    // The window's download: the same pages, the same end, the same archive.
    auto *download = new THistoryDownload(*soft, *grid, archive.get(), this);
    download->SetDevice(m_identity.imei, m_identity.model, model);
    // A download that archives reads the configuration first, as the
    // window's does, so the limits are kept with the records.
    download->SetConfigurationReader([this] { return m_connection->ReadConfig(false); });
    THistoryReadJob *read = m_options.NewOnly ? download->ReadNew(m_connection->Session())
                                              : download->ReadAll(m_connection->Session(), quantity);
    if (m_options.NewOnly) {
        connect(read, &THistoryReadJob::readStarting, this, [this, download](int, bool logRestarted) {
            if (logRestarted)
                m_result.Details << Text("CliLogRestarted").arg(download->ContinuedAfter());
        });
    }
    connect(read, &THistoryReadJob::pageRead, this,
            [this, soft, quantity] { emit progress(soft->RecordCounter(), quantity); });
    Run(read, [this, grid, soft, download, archive] {
        Q_UNUSED(soft);
        download->deleteLater();
        const int records = grid->LastFilledRow();
        m_result.Data.insert(QStringLiteral("records"), records);
        if (archive) {
            m_result.Data.insert(QStringLiteral("archived"), download->RecordsArchived());
            if (download->RecordsNotArchived() > 0) {
                // The writer's own connection may have met the failure.
                const QString reason = archive->IsReady()
                    ? Text(THistoryArchive::TextKey(download->ArchiveStatus()).toLatin1().constData())
                          .arg(QDir::toNativeSeparators(archive->Path()))
                    : archive->ProblemText(m_options.Language);
                Finish(CliExit::BadInput, "CliArchiveUnusable", {reason});
                return;
            }
            AddDetail(QStringLiteral("archive"), Text("TxtArchiveTitle"), QDir::toNativeSeparators(archive->Path()));
        }
        if (m_options.Out.isEmpty()) {
            Finish(CliExit::Done, "CliArchivedCount",
                   {QString::number(download->RecordsArchived()),
                    QString::number(archive ? archive->RecordCount(m_identity.imei) : 0)});
            return;
        }
        const QString fileName = CliOutputName(m_options.Out, m_port, m_identity.imei, m_identity.model);
        const THistoryCsv::TResult exported = m_options.Iso
            ? THistoryCsv::ExportIso(*grid, fileName, Text("CliIsoTimeCaption"))
            : THistoryCsv::Export(*grid, fileName);
        m_result.Data.insert(QStringLiteral("file"), QDir::toNativeSeparators(exported.fileName));
        if (!exported) {
            Finish(CliExit::BadInput, "CliCannotWriteFile", {exported.fileName, exported.systemText});
            return;
        }
        if (archive)
            m_result.Details << Text("CliArchivedCount")
                                    .arg(download->RecordsArchived())
                                    .arg(archive->RecordCount(m_identity.imei));
        Finish(CliExit::Done, "CliHistoryDone", {QString::number(records), QDir::toNativeSeparators(exported.fileName)});
    });
}

void TCliTask::EraseHistory()
{
    Run(m_connection->EraseHistory(), [this] { Finish(CliExit::Done, "CliEraseDone"); });
}

void TCliTask::Clock()
{
    if (!m_options.Sync) {
        ShowClock("CliClockRead");
        return;
    }
    Run(m_connection->WriteClock(QDateTime::currentDateTime()), [this] {
        // The clock is set; a read-back that fails says so, not that nothing happened.
        TClockReadJob *read = m_connection->ReadClock();
        read->setParent(this);
        connect(read, &TDeviceJob::finished, this, [this, read](TDeviceJob::TOutcome outcome) {
            read->deleteLater();
            if (outcome == TDeviceJob::TOutcome::Done) {
                AddDetail(QStringLiteral("clock"), Text("CliFieldClock"), read->Clock().toString(kTimeFormat));
                Finish(CliExit::Done, "CliClockSet");
            } else if (read->Failure().what == TJobFailure::TWhat::ClockUnreadable) {
                Finish(TJobVerdict::ClockSetNotReadBack());
            } else {
                Finish(TJobVerdict::Of(*read, CaptionOf()));
            }
        });
        if (!read->start())
            Finish(TJobVerdict::ClockSetNotReadBack());
    });
}

void TCliTask::Relay()
{
    const QByteArray keyword =
        QByteArray(m_options.RelayClose ? "DOC" : "DOO") + QByteArray::number(m_options.Relay);
    TRelayJob *relay = m_connection->SwitchRelay(keyword.constData());
    Run(relay, [this, relay] {
        const QByteArray data = TBasicProtocol().GetData(relay->StatusFrame());
        if (data.size() <= kRelayByte) {
            Finish(CliExit::NoAnswer, "CliRelayUnknown");
            return;
        }
        const quint8 bits = quint8(data.at(kRelayByte));
        for (int relayIndex = 0; relayIndex < 2; ++relayIndex) {
            const bool closed = (bits >> relayIndex) & 1;
            AddDetail(QStringLiteral("do%1").arg(relayIndex + 1), QStringLiteral("DO%1").arg(relayIndex + 1),
                      Text(closed ? "TxtDoStatusClosed" : "TxtDoStatusOpen"));
        }
        const bool wanted = ((bits >> (m_options.Relay - 1)) & 1) == (m_options.RelayClose ? 1 : 0);
        if (wanted)
            Finish(CliExit::Done, "CliRelayDone");
        else
            Finish(CliExit::NotVerified, "CliRelayNotSwitched");
    });
}
