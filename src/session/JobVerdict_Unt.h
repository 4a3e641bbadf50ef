#pragma once

#include "session/DeviceJob_Unt.h"

#include <QString>
#include <QStringList>

#include <functional>

// The exit codes of the command-line tool, which every verdict carries.
namespace JobExit {
constexpr int Done = 0;
constexpr int Differences = 1; // diff only: the device and the file differ
constexpr int BadInput = 2;    // bad arguments, files, or a profile the device cannot take
constexpr int Refused = 3;     // the device refused the password
constexpr int NoAnswer = 4;    // the port cannot be opened, the line was lost or the device did not answer
constexpr int NotVerified = 5; // a write the read-back does not confirm
} // namespace JobExit

// How a device action ended, for the people who started it: the window's
// message and the command-line tool's line (each a language-table key with
// its arguments), how grave it is, and the tool's exit code. Made in one
// place from a job's outcome and failure record, or from a refusal to start.
struct TJobVerdict
{
    enum class TSeverity {
        Done,   // it worked; the window's text (when there is one) is a plain message
        Quiet,  // nothing to tell in the window (stopped, or the line loss told elsewhere)
        Notice, // told in the window as a plain message
        Error,  // told in the window as an error
    };

    // The caption of a field as the reader sees it, in their language (an
    // empty Control names a byte of the image by its offset in Row).
    using TCaptionOf = std::function<QString(const TConfigError &where)>;

    TSeverity severity = TSeverity::Done;
    TJobFailure::TWhat what = TJobFailure::TWhat::None;
    QString windowKey;
    QStringList windowArgs;
    QString toolKey;
    QStringList toolArgs;
    int exitCode = JobExit::Done;
    // Decode: the value the configuration cannot hold, and its field's caption.
    TConfigError configError;
    QString configCaption;

    bool IsDone() const { return severity == TSeverity::Done; }
    // The texts; empty when there is nothing to say.
    QString WindowText(int language) const;
    QString ToolText(int language) const;

    // A verdict made by the caller after the job (a file saved, a check).
    static TJobVerdict Make(TSeverity severity, int exitCode, const QString &windowKey, const QStringList &windowArgs,
                            const QString &toolKey, const QStringList &toolArgs);
    // The clock was set, but reading it back got no answer: said by the
    // window and the tool alike.
    static TJobVerdict ClockSetNotReadBack();
    // The end of job; captionOf names the fields of Differs and Decode.
    static TJobVerdict Of(const TDeviceJob &job, const TCaptionOf &captionOf = {});
};
