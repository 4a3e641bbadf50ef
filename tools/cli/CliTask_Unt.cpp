#include "cli/CliTask_Unt.h"

#include "cli/CliInput_Unt.h"
#include "cli/FieldCaptions_Unt.h"
#include "config/ConfigDiff_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/NetLink_Unt.h"
#include "link/SyncTimeProtocol_Unt.h"
#include "profiles/BackupStore_Unt.h"
#include "profiles/ProfileImage_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceRequests_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/RelayJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"

#include <QDir>
#include <QJsonArray>
#include <QSaveFile>

#include <memory>

namespace {

// The relay byte of the current-values data follows the 16 sensor values.
constexpr int kRelayByte = 32;
const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

} // namespace

TCliTask::TCliTask(const TCliOptions &options, const TCliInput *input, const TBackupStore &backups,
                   const QString &port, QObject *parent)
    : QObject(parent), m_options(options), m_input(input), m_backups(backups), m_port(port),
      m_session(new TDeviceSession(this))
{
    m_result.Port = port;
}

QString TCliTask::Text(const char *key) const
{
    return ConstLang::Text(QString::fromLatin1(key), m_options.Language);
}

void TCliTask::Start()
{
    m_elapsed.start();
    QString reason;
    if (!m_session->open(m_port, &reason)) {
        Finish(CliExit::NoAnswer,
               NetPorts::IsNetworkName(m_port) ? reason : Text("CliPortOpenFailed").arg(m_port));
        return;
    }
    auto *login = new TLoginJob(m_session, m_options.Password, this);
    Run(
        login, [this, login] {
            m_identity = login->Identity();
            m_result.Model = m_identity.model;
            m_result.Imei = m_identity.imei;
            LoggedIn();
        },
        [this, login] {
            switch (login->Failure()) {
            case TLoginJob::TFailure::Refused:
                Finish(CliExit::Refused, Text("CliRefused"));
                return true;
            case TLoginJob::TFailure::Unidentified:
                Finish(CliExit::NoAnswer, Text("CliUnidentified"));
                return true;
            default:
                return false;
            }
        });
}

void TCliTask::Run(TDeviceJob *job, std::function<void()> then, std::function<bool()> failed)
{
    job->setParent(this);
    connect(job, &TDeviceJob::progressChanged, this, &TCliTask::progress);
    connect(job, &TDeviceJob::finished, this,
            [this, job, then = std::move(then), failed = std::move(failed)](TDeviceJob::TOutcome outcome) {
                job->deleteLater();
                if (outcome == TDeviceJob::TOutcome::Done) {
                    then();
                    return;
                }
                if (outcome == TDeviceJob::TOutcome::Failed && failed && failed())
                    return;
                if (outcome == TDeviceJob::TOutcome::Failed)
                    Finish(CliExit::NoAnswer, Text("CliNoAnswer"));
                else
                    Finish(CliExit::NoAnswer, LineLostText());
            });
    if (!job->start())
        Finish(CliExit::NoAnswer, LineLostText());
}

QString TCliTask::LineLostText() const
{
    // A network server that refused, did not answer or hung up says why.
    const QString reason = m_session->lineError();
    return reason.isEmpty() ? Text("CliLineLost") : reason;
}

void TCliTask::Finish(int exitCode, const QString &message)
{
    if (m_finished)
        return;
    m_finished = true;
    m_result.ExitCode = exitCode;
    m_result.Message = message;
    m_result.Seconds = double(m_elapsed.elapsed()) / 1000.0;
    m_session->close();
    emit finished();
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
            Finish(CliExit::BadInput, error);
        else
            Write(image, "CliWritten");
        break;
    }
    case TCliCommand::Diff: {
        QString error;
        if (m_input->ImageFor(m_identity.modelIndex, &error).isEmpty())
            Finish(CliExit::BadInput, error);
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
        Finish(CliExit::BadInput, Text("CliNoCommand"));
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
    TDeviceReply *reply = m_session->submit(DeviceRequests::ReadClock());
    connect(reply, &TDeviceReply::finished, this, [this, reply, doneKey] {
        if (reply->error() == TReplyError::LineLost || reply->error() == TReplyError::Stopped) {
            Finish(CliExit::NoAnswer, LineLostText());
            return;
        }
        const TSyncTimeProtocol clock;
        const QDateTime time(clock.ReplyDate(reply->reply()), clock.ReplyTime(reply->reply()));
        if (reply->error() != TReplyError::None || !time.isValid()) {
            Finish(CliExit::NoAnswer, Text("CliClockUnreadable"));
            return;
        }
        AddDetail(QStringLiteral("clock"), Text("CliFieldClock"), time.toString(kTimeFormat));
        Finish(CliExit::Done, Text(doneKey));
    });
}

void TCliTask::ReadImage(std::function<void(const QByteArray &)> then)
{
    auto *read = new TConfigReadJob(m_session, m_identity.modelIndex);
    read->SetAskValues(false);
    Run(
        read, [read, then = std::move(then)] { then(read->Image().left(ConfigMap::ImageSize)); },
        [this, read] {
            if (read->Failure() != TConfigReadJob::TFailure::PageFailed)
                return false;
            Finish(CliExit::NoAnswer, Text("CliReadPageFailed").arg(read->FailedPage() + 1));
            return true;
        });
}

void TCliTask::SaveRead(const QByteArray &image)
{
    const QString fileName =
        CliOutputName(m_options.Out, m_port, m_identity.imei, m_identity.model);
    m_result.Data.insert(QStringLiteral("file"), fileName);
    if (fileName.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive)) {
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size() || !file.commit()) {
            Finish(CliExit::BadInput, Text("CliCannotWriteFile").arg(fileName, file.errorString()));
            return;
        }
    } else {
        const TDecodeResult decoded = DecodeImage(image, m_identity.modelIndex);
        const TIniResult saved = decoded.Ok() ? TProfileImage::Save(decoded.Values, m_identity.modelIndex,
                                                                    m_options.Language, fileName)
                                              : TIniResult{TIniError::WriteFailed, QString()};
        if (!saved) {
            Finish(CliExit::BadInput, Text("CliCannotWriteFile").arg(fileName, saved.detail));
            return;
        }
    }
    Finish(CliExit::Done, Text("CliReadDone").arg(QDir::toNativeSeparators(fileName)));
}

void TCliTask::Write(const QByteArray &image, const char *doneKey)
{
    const QString imei = m_identity.imei;
    const int model = m_identity.modelIndex;
    const int language = m_options.Language;
    const TBackupStore &backups = m_backups;
    auto backupPath = std::make_shared<QString>();
    auto *write = new TVerifiedWriteJob(
        m_session, model, image, QByteArray(),
        [&backups, imei, model, language, backupPath](const QByteArray &deviceImage) {
            TBackupEntry kept;
            const QString error = backups.Keep(imei, deviceImage, model, language, QDateTime::currentDateTime(), &kept);
            *backupPath = kept.imagePath;
            return error;
        });
    write->setParent(this);
    connect(write, &TDeviceJob::progressChanged, this, &TCliTask::progress);
    connect(write, &TDeviceJob::finished, this, [this, write, image, doneKey, backupPath](TDeviceJob::TOutcome outcome) {
        write->deleteLater();
        using TFailure = TVerifiedWriteJob::TFailure;
        if (!backupPath->isEmpty())
            m_result.Data.insert(QStringLiteral("backup"), QDir::toNativeSeparators(*backupPath));
        if (outcome == TDeviceJob::TOutcome::Done) {
            Finish(CliExit::Done, Text(doneKey));
            return;
        }
        if (outcome != TDeviceJob::TOutcome::Failed) {
            switch (write->Step()) {
            case TVerifiedWriteJob::TStep::Backup:
                Finish(CliExit::NoAnswer, Text("CliLineLostUnchanged"));
                return;
            case TVerifiedWriteJob::TStep::Write:
                Finish(CliExit::NoAnswer, Text("CliLineLostMixed"));
                return;
            case TVerifiedWriteJob::TStep::ReadBack:
                Finish(CliExit::NoAnswer, Text("CliLineLostUnverified"));
                return;
            }
        }
        switch (write->Failure()) {
        case TFailure::BackupRead:
            Finish(CliExit::NoAnswer, Text("CliBackupReadFailed"));
            return;
        case TFailure::BackupKept:
            Finish(CliExit::BadInput, Text("CliBackupNotKept").arg(write->BackupError()));
            return;
        case TFailure::Unconfirmed: {
            QStringList pages;
            for (int page : write->UnconfirmedPages())
                pages << QString::number(page + 1);
            Finish(CliExit::NotVerified, Text("CliWriteUnconfirmed").arg(pages.join(QStringLiteral(", "))));
            return;
        }
        case TFailure::ReadBack:
            Finish(CliExit::NotVerified, Text("CliWriteReadBackFailed"));
            return;
        case TFailure::Differs:
        case TFailure::None: {
            QStringList fields;
            for (const TFieldDiff &diff : DiffConfigImages(write->ReadBackImage(), image, m_identity.modelIndex))
                fields << FieldCaptions::Caption(diff.Control, diff.Row, diff.SubItem, m_identity.modelIndex,
                                                 m_options.Language);
            fields.removeDuplicates();
            Finish(CliExit::NotVerified, Text("CliWriteDiffers").arg(fields.join(QStringLiteral(", "))));
            return;
        }
        }
    });
    if (!write->start())
        Finish(CliExit::NoAnswer, LineLostText());
}

void TCliTask::Diff(const QByteArray &device)
{
    const int model = m_identity.modelIndex;
    QString error;
    QByteArray file = m_input->ImageFor(model, &error);
    QByteArray shown = device;
    if (m_input->IsProfile()) {
        // A profile holds what the window shows: compare with the device's
        // settings as the window would show and write them, so that bytes
        // no field holds do not count.
        const TEncodeResult encoded = EncodeImage(DecodeImage(device, model).Values, model);
        if (encoded.Ok())
            shown = encoded.Image;
    }
    const QList<TFieldDiff> diffs = DiffConfigImages(shown, file, model);
    QJsonArray fields;
    for (const TFieldDiff &diff : diffs) {
        const QString caption = FieldCaptions::Caption(diff.Control, diff.Row, diff.SubItem, model, m_options.Language);
        m_result.Details << QStringLiteral("%1: %2 -> %3").arg(caption, diff.Before, diff.After);
        fields.append(QJsonObject{{QStringLiteral("field"), caption},
                                  {QStringLiteral("control"), diff.Control},
                                  {QStringLiteral("row"), diff.Row},
                                  {QStringLiteral("subItem"), diff.SubItem},
                                  {QStringLiteral("device"), diff.Before},
                                  {QStringLiteral("file"), diff.After}});
    }
    m_result.Data.insert(QStringLiteral("differences"), fields);
    if (diffs.isEmpty())
        Finish(CliExit::Done, Text("CliDiffEqual"));
    else
        Finish(CliExit::Differences, Text("CliDiffDifferent").arg(diffs.size()));
}

void TCliTask::Backup(const QByteArray &device)
{
    TBackupEntry kept;
    const QString error = m_backups.Keep(m_identity.imei, device, m_identity.modelIndex, m_options.Language,
                                         QDateTime::currentDateTime(), &kept);
    if (!error.isEmpty()) {
        Finish(CliExit::BadInput, Text("CliBackupNotKept").arg(error));
        return;
    }
    m_result.Data.insert(QStringLiteral("backup"), QDir::toNativeSeparators(kept.imagePath));
    m_result.Data.insert(QStringLiteral("profile"), QDir::toNativeSeparators(kept.profilePath));
    Finish(CliExit::Done, Text("CliBackupDone").arg(QDir::toNativeSeparators(kept.imagePath)));
}

void TCliTask::Restore()
{
    const QList<TBackupEntry> entries = m_backups.List(m_identity.imei);
    for (const TBackupEntry &entry : entries) {
        if (m_options.At.isValid() && entry.time > m_options.At)
            continue;
        const QByteArray image = TBackupStore::LoadImage(entry);
        if (image.isEmpty()) {
            Finish(CliExit::BadInput, Text("CliBackupUnreadable").arg(QDir::toNativeSeparators(entry.imagePath)));
            return;
        }
        m_result.Data.insert(QStringLiteral("restored"), QDir::toNativeSeparators(entry.imagePath));
        AddDetail(QStringLiteral("backupTime"), Text("CliFieldBackupTime"), entry.time.toString(kTimeFormat));
        Write(image, "CliRestored");
        return;
    }
    Finish(CliExit::BadInput, m_options.At.isValid()
                                  ? Text("CliNoBackupAt").arg(m_identity.imei, m_options.At.toString(kTimeFormat))
                                  : Text("CliNoBackup").arg(m_identity.imei, QDir::toNativeSeparators(m_backups.Folder())));
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
    soft->BeginRead(*grid);
    auto *read = new THistoryReadJob(m_session, TSoftHistory::PageCount(quantity));
    connect(read, &THistoryReadJob::pageRead, this, [this, read, grid, soft, model, quantity](int, const QByteArray &frame) {
        const TSoftHistory::TPageResult page = soft->ShowPage(*grid, frame, quantity, model);
        emit progress(soft->RecordCounter(), quantity);
        if (page.stopRead || soft->RecordCounter() >= quantity)
            read->EndOfLog();
    });
    Run(
        read,
        [this, grid] {
            const QString fileName = CliOutputName(m_options.Out, m_port, m_identity.imei, m_identity.model);
            const THistoryCsv::TResult exported = m_options.Iso
                ? THistoryCsv::ExportIso(*grid, fileName, Text("CliIsoTimeCaption"))
                : THistoryCsv::Export(*grid, fileName);
            m_result.Data.insert(QStringLiteral("file"), QDir::toNativeSeparators(exported.fileName));
            if (!exported) {
                Finish(CliExit::BadInput, Text("CliCannotWriteFile").arg(exported.fileName, exported.systemText));
                return;
            }
            const int records = grid->LastFilledRow();
            m_result.Data.insert(QStringLiteral("records"), records);
            Finish(CliExit::Done, Text("CliHistoryDone").arg(records).arg(QDir::toNativeSeparators(exported.fileName)));
        },
        [this, read] {
            Finish(CliExit::NoAnswer, Text("CliHistoryPageFailed").arg(read->FailedPage() + 1));
            return true;
        });
}

void TCliTask::EraseHistory()
{
    auto *erase = new THistoryEraseJob(m_session);
    Run(erase, [this] { Finish(CliExit::Done, Text("CliEraseDone")); },
        [this] {
            Finish(CliExit::NoAnswer, Text("CliEraseUnconfirmed"));
            return true;
        });
}

void TCliTask::Clock()
{
    if (!m_options.Sync) {
        ShowClock("CliClockRead");
        return;
    }
    TDeviceReply *reply = m_session->submit(DeviceRequests::SetClock(QDateTime::currentDateTime()));
    connect(reply, &TDeviceReply::finished, this, [this, reply] {
        if (reply->error() == TReplyError::LineLost || reply->error() == TReplyError::Stopped)
            Finish(CliExit::NoAnswer, LineLostText());
        else if (reply->error() != TReplyError::None)
            Finish(CliExit::NoAnswer, Text("CliNoAnswer"));
        else
            ShowClock("CliClockSet");
    });
}

void TCliTask::Relay()
{
    const QByteArray keyword =
        QByteArray(m_options.RelayClose ? "DOC" : "DOO") + QByteArray::number(m_options.Relay);
    auto *relay = new TRelayJob(m_session, keyword.constData());
    Run(
        relay,
        [this, relay] {
            const QByteArray data = TBasicProtocol().GetData(relay->StatusFrame());
            if (data.size() <= kRelayByte) {
                Finish(CliExit::NoAnswer, Text("CliRelayUnknown"));
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
                Finish(CliExit::Done, Text("CliRelayDone"));
            else
                Finish(CliExit::NotVerified, Text("CliRelayNotSwitched"));
        },
        [this] {
            Finish(CliExit::NoAnswer, Text("CliRelayUnknown"));
            return true;
        });
}
