#include "session/JobVerdict_Unt.h"

#include "config/ConfigErrorText_Unt.h"
#include "config/ConfigPages_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/DeviceCommandJobs_Unt.h"
#include "session/HistoryEraseJob_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/LoginJob_Unt.h"
#include "session/RelayJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"

namespace {

using TWhat = TJobFailure::TWhat;
using TSeverity = TJobVerdict::TSeverity;

QString Filled(const QString &key, const QStringList &args, int language)
{
    if (key.isEmpty())
        return args.value(0);
    // One pass, as QString::arg with several arguments: a "%1" inside an
    // argument (a file name) stays as it is.
    const QString pattern = ConstLang::Text(key, language);
    QString text;
    for (int index = 0; index < pattern.size(); ++index) {
        const QChar character = pattern.at(index);
        if (character == QLatin1Char('%') && index + 1 < pattern.size() && pattern.at(index + 1).isDigit()) {
            const int number = pattern.at(index + 1).digitValue();
            if (number >= 1 && number <= args.size()) {
                text += args.at(number - 1);
                ++index;
                continue;
            }
        }
        text += character;
    }
    return text;
}

QString PageList(const QList<int> &pages)
{
    QStringList numbers;
    for (int page : pages)
        numbers << QString::number(page + 1);
    return numbers.join(QStringLiteral(", "));
}

// What the window and the tool say when a job ends well, by the kind of job.
TJobVerdict DoneVerdict(const TDeviceJob &job)
{
    QString windowKey;
    QString toolKey = QStringLiteral("CliInfoDone");
    if (qobject_cast<const TConfigReadJob *>(&job)) {
        windowKey = QStringLiteral("MsgConfigRead");
    } else if (qobject_cast<const TVerifiedWriteJob *>(&job)) {
        windowKey = QStringLiteral("MsgConfigWrittenVerified");
        toolKey = QStringLiteral("CliWritten");
    } else if (qobject_cast<const THistoryEraseJob *>(&job)) {
        toolKey = QStringLiteral("CliEraseDone");
    } else if (qobject_cast<const TRelayJob *>(&job)) {
        toolKey = QStringLiteral("CliRelayDone");
    } else if (const auto *clock = qobject_cast<const TClockReadJob *>(&job)) {
        // The device's time and how far it is from the PC's.
        const qint64 behind = clock->Clock().secsTo(QDateTime::currentDateTime());
        const QString when = clock->Clock().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        toolKey = QStringLiteral("CliClockRead");
        if (qAbs(behind) <= 1)
            return TJobVerdict::Make(TSeverity::Done, JobExit::Done, QStringLiteral("MsgClockSame"), {when}, toolKey, {});
        return TJobVerdict::Make(TSeverity::Done, JobExit::Done,
                                 QString::fromLatin1(behind > 0 ? "MsgClockBehind" : "MsgClockAhead"),
                                 {when, QString::number(qAbs(behind))}, toolKey, {});
    } else if (qobject_cast<const TClockWriteJob *>(&job)) {
        windowKey = QStringLiteral("MsgSuccess");
        toolKey = QStringLiteral("CliClockSet");
    } else if (const auto *line = qobject_cast<const TTextLineJob *>(&job)) {
        // The device restarts after REBOOT and so does the program: no word.
        if (!line->IsReboot())
            windowKey = QStringLiteral("MsgSuccess");
    }
    return TJobVerdict::Make(TSeverity::Done, JobExit::Done, windowKey, {}, toolKey, {});
}

// A stopped job, or one whose line went: said only where the device may now
// hold something else than before (a write), and by the tool always.
TJobVerdict BrokenOff(const TDeviceJob &job, TWhat what)
{
    if (qobject_cast<const TVerifiedWriteJob *>(&job)) {
        switch (TVerifiedWriteJob::TStep(qMax(0, job.Failure().step))) {
        case TVerifiedWriteJob::TStep::Backup:
            return TJobVerdict::Make(TSeverity::Error, JobExit::NoAnswer, QStringLiteral("MsgWriteStoppedUnchanged"), {},
                                     QStringLiteral("CliLineLostUnchanged"), {});
        case TVerifiedWriteJob::TStep::Write:
            return TJobVerdict::Make(TSeverity::Error, JobExit::NoAnswer, QStringLiteral("MsgConfigWriteStopped"), {},
                                     QStringLiteral("CliLineLostMixed"), {});
        case TVerifiedWriteJob::TStep::ReadBack:
            return TJobVerdict::Make(TSeverity::Error, JobExit::NoAnswer, QStringLiteral("MsgWriteStoppedUnverified"), {},
                                     QStringLiteral("CliLineLostUnverified"), {});
        }
    }
    Q_UNUSED(what);
    return TJobVerdict::Make(TSeverity::Quiet, JobExit::NoAnswer, QString(), {}, QStringLiteral("CliLineLost"), {});
}

} // namespace

QString TJobVerdict::WindowText(int language) const
{
    if (what == TWhat::Decode && windowKey.isEmpty())
        return ConfigErrorText(configError, configCaption, language);
    if (windowKey.isEmpty() && windowArgs.isEmpty())
        return QString();
    return Filled(windowKey, windowArgs, language);
}

QString TJobVerdict::ToolText(int language) const
{
    if (toolKey.isEmpty() && toolArgs.isEmpty())
        return QString();
    return Filled(toolKey, toolArgs, language);
}

TJobVerdict TJobVerdict::ClockSetNotReadBack()
{
    TJobVerdict verdict = Make(TSeverity::Error, JobExit::NoAnswer, QStringLiteral("MsgClockSetNotReadBack"), {},
                               QStringLiteral("CliClockSetNotReadBack"), {});
    verdict.what = TWhat::ClockUnreadable;
    return verdict;
}

TJobVerdict TJobVerdict::Make(TSeverity severity, int exitCode, const QString &windowKey,
                              const QStringList &windowArgs, const QString &toolKey, const QStringList &toolArgs)
{
    TJobVerdict verdict;
    verdict.severity = severity;
    verdict.exitCode = exitCode;
    verdict.windowKey = windowKey;
    verdict.windowArgs = windowArgs;
    verdict.toolKey = toolKey;
    verdict.toolArgs = toolArgs;
    return verdict;
}

TJobVerdict TJobVerdict::Of(const TDeviceJob &job, const TCaptionOf &captionOf)
{
    const TJobFailure &failure = job.Failure();
    const auto error = [&failure](int exitCode, const char *windowKey, const QStringList &windowArgs,
                                  const char *toolKey, const QStringList &toolArgs) {
        TJobVerdict verdict = Make(TSeverity::Error, exitCode, QString::fromLatin1(windowKey), windowArgs,
                                   QString::fromLatin1(toolKey), toolArgs);
        verdict.what = failure.what;
        return verdict;
    };
    const QString page = QString::number(failure.page + 1);
    const QString record = QString::number(failure.record);

    if (job.outcome() == TDeviceJob::TOutcome::Done)
        return DoneVerdict(job);
    TJobVerdict verdict;
    switch (failure.what) {
    case TWhat::None:
    case TWhat::Stopped:
    case TWhat::LineLost:
        verdict = BrokenOff(job, failure.what);
        verdict.what = failure.what;
        return verdict;
    case TWhat::NotStarted:
        return error(JobExit::NoAnswer, "MsgNotConnected", {}, "CliLineLost", {});
    case TWhat::OpenFailed:
        // The port's own words in the window; the tool names the port.
        if (const auto *login = qobject_cast<const TLoginJob *>(&job))
            return error(JobExit::NoAnswer, "", {failure.detail}, "CliPortOpenFailed", {login->PortName()});
        return error(JobExit::NoAnswer, "", {failure.detail}, "CliPortOpenFailed", {QString()});
    case TWhat::NoAnswer:
    case TWhat::BadReply:
        if (qobject_cast<const TClockWriteJob *>(&job))
            return error(JobExit::NoAnswer, "MsgClockSetNoAnswer", {}, "CliClockSetNoAnswer", {});
        return error(JobExit::NoAnswer, "MsgDeviceNoAnswer", {}, "CliNoAnswer", {});
    case TWhat::Refused:
        return error(JobExit::Refused, "MsgPasswordError", {}, "CliRefused", {});
    case TWhat::Unidentified:
        return error(JobExit::NoAnswer, "MsgDeviceUnidentified", {}, "CliUnidentified", {});
    case TWhat::UnknownModel:
        return error(JobExit::NoAnswer, "MsgModelUnknown", {}, "CliUnidentified", {});
    case TWhat::ConfigPageMissing:
        return error(JobExit::NoAnswer, "MsgConfigReadFailed", {page}, "CliReadPageFailed", {page});
    case TWhat::Unsolicited:
        return error(JobExit::NoAnswer, "MsgConfigUnsolicited", {}, "CliNoAnswer", {});
    case TWhat::Decode:
        verdict = error(JobExit::NoAnswer, "", {}, "CliNoAnswer", {});
        verdict.configError = failure.configError;
        verdict.configCaption = captionOf ? captionOf(failure.configError) : failure.configError.Control;
        return verdict;
    case TWhat::BackupRead:
        return error(JobExit::NoAnswer, "MsgWriteBackupReadFailed", {}, "CliBackupReadFailed", {});
    case TWhat::BackupKept:
        return error(JobExit::BadInput, "MsgWriteBackupFailed", {failure.detail}, "CliBackupNotKept", {failure.detail});
    case TWhat::Unconfirmed:
        return error(JobExit::NotVerified, "MsgConfigWriteUnconfirmed", {PageList(failure.pages)},
                     "CliWriteUnconfirmed", {PageList(failure.pages)});
    case TWhat::StoppedAnswering: {
        // The share of the write the device took before it went silent, and
        // where the settings it held before are kept.
        const QString share = QString::number(qMax(0, failure.page) * 100 / ConfigPages::WritePageCount);
        const auto *write = qobject_cast<const TVerifiedWriteJob *>(&job);
        const QString kept = write && write->BackupTime().isValid()
            ? write->BackupTime().toString(QStringLiteral("HH:mm"))
            : QString();
        return error(JobExit::NoAnswer, "MsgWriteStoppedAnswering", {share, kept}, "CliWriteStoppedAnswering",
                     {share, kept});
    }
    case TWhat::ReadBack:
        return error(JobExit::NotVerified, "MsgWriteReadBackFailed", {}, "CliWriteReadBackFailed", {});
    case TWhat::Differs: {
        QStringList fields;
        for (const TFieldDiff &diff : failure.fields) {
            TConfigError where;
            where.Control = diff.Control;
            where.Row = diff.Row;
            where.SubItem = diff.SubItem;
            fields << (captionOf ? captionOf(where) : diff.Control);
        }
        fields.removeDuplicates();
        const QString named = fields.join(QStringLiteral(", "));
        return error(JobExit::NotVerified, "MsgWriteDiffers", {named}, "CliWriteDiffers", {named});
    }
    case TWhat::HistoryPageMissing: {
        const int firstRecord = failure.page * HistoryRecord::PerPage + 1;
        return error(JobExit::NoAnswer, "MsgHistoryReadFailed",
                     {page, QString::number(firstRecord), QString::number(firstRecord + HistoryRecord::PerPage - 1)},
                     "CliHistoryPageFailed",
                     {page});
    }
    case TWhat::ContinuationMissing:
        return error(JobExit::NoAnswer, "MsgReadNewFailed", {record}, "CliNoAnswer", {});
    case TWhat::RecordMissing:
        verdict = error(JobExit::NoAnswer, "TxtRecordError", {}, "CliNoAnswer", {});
        verdict.severity = TSeverity::Notice;
        return verdict;
    case TWhat::EraseUnconfirmed:
        return error(JobExit::NoAnswer, "MsgEraseUnconfirmed", {}, "CliEraseUnconfirmed", {});
    case TWhat::RelayUnknown:
        return error(JobExit::NoAnswer, "MsgRelayUnknown", {}, "CliRelayUnknown", {});
    case TWhat::ClockUnreadable:
        return error(JobExit::NoAnswer, "MsgClockNoAnswer", {}, "CliClockUnreadable", {});
    case TWhat::NotLogged:
        // The trail's own words, in the language of whoever started the job.
        return error(JobExit::BadInput, "AudRefused", {failure.detail}, "AudRefused", {failure.detail});
    }
    return error(JobExit::NoAnswer, "MsgDeviceNoAnswer", {}, "CliNoAnswer", {});
}
