#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Reading and writing the user's files so that a hostile or odd file cannot
// hang the program, eat its memory, send a write somewhere else or cost the
// user the file they had. Nothing here shows anything; the reasons are
// codes the caller words in the user's language, with the system's own
// words where the system gave some.
namespace FileSafety {

// What is at a path, without following a symbolic link.
enum class TPathKind {
    Absent,
    Regular,
    SymLink,   // any symbolic link, also one that points nowhere
    Folder,
    Special,   // a device, FIFO, socket or anything else that is no file
};
TPathKind KindOf(const QString &path);

enum class TFileError {
    None,
    Missing,     // nothing at the path
    NotRegular,  // a folder, device, FIFO or socket (reading), or a symbolic link too (writing)
    TooLarge,    // more bytes than the cap
    Failed,      // the system refused; detail says why
};

// Opens path for reading into file (closed, without a name) when it is a
// regular file of at most maxSize bytes, checked before it is opened: a
// FIFO, a device such as /dev/zero or a folder is refused at once, and
// nothing is opened (a symbolic link to a regular file is followed). The
// caller still reads no more than it can take, as the file may grow.
// *detail gets the system's words for Failed.
TFileError OpenRegularFile(QFile &file, const QString &path, qint64 maxSize, QString *detail = nullptr);

struct TReadResult
{
    TFileError error = TFileError::None;
    QByteArray bytes;
    QString detail; // the system's words for Failed

    bool ok() const { return error == TFileError::None; }
};

// The whole content of a regular file of at most maxSize bytes. The file is
// checked before anything is read: a FIFO, a device such as /dev/zero or a
// folder is refused at once (a symbolic link to a regular file is read), a
// file larger than maxSize is refused, and no more than maxSize + 1 bytes
// are ever read, so a file that grows meanwhile is refused too.
TReadResult ReadRegularFile(const QString &path, qint64 maxSize);

struct TSaveResult
{
    TFileError error = TFileError::None;
    QString detail; // the system's words for Failed

    bool ok() const { return error == TFileError::None; }
};

// Writes bytes as the file path: into a temporary file in the same folder
// that replaces path only when completely written, so a failed save leaves
// the old file as it was. A path that is a symbolic link, a folder, a device
// or a FIFO is refused (NotRegular) and not touched. ownerOnly: the file is
// readable and writable by its owner only (0600) from its first byte on,
// for files that hold a password.
[[nodiscard]] TSaveResult SaveFile(const QString &path, const QByteArray &bytes, bool ownerOnly);

// A path an output may go to: nothing there yet, or a regular file.
bool IsWritableTarget(const QString &path);

// Creates folder and its parents when missing; with ownerOnly the folder
// itself is then open to its owner only (0700). False when it cannot be
// created or is no folder.
[[nodiscard]] bool MakeFolder(const QString &folder, bool ownerOnly);

// Makes an existing file readable and writable by its owner only (0600).
bool RestrictToOwner(const QString &path);

// A text from a device or a port name made fit to be part of a file name:
// runs of anything but ASCII letters, digits, "-" and "_" become one "_",
// "_" at either end is dropped; "unknown" when nothing is left. Holds no
// separator and never reads as "." or "..", so the name stays in its folder.
QString CleanNamePart(const QString &text);

} // namespace FileSafety
