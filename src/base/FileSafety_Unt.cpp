#include "base/FileSafety_Unt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace FileSafety {

namespace {

constexpr QFileDevice::Permissions kOwnerFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr QFileDevice::Permissions kOwnerFolder = kOwnerFile | QFileDevice::ExeOwner;

bool NameCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= u'0' && code <= u'9') || (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z')
           || code == u'-' || code == u'_';
}

#ifdef Q_OS_UNIX
QString SystemText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
#endif

} // namespace

TPathKind KindOf(const QString &path)
{
    if (path.isEmpty())
        return TPathKind::Absent;
#ifdef Q_OS_UNIX
    struct stat status;
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return TPathKind::Absent;
    if (S_ISLNK(status.st_mode))
        return TPathKind::SymLink;
    if (S_ISDIR(status.st_mode))
        return TPathKind::Folder;
    return S_ISREG(status.st_mode) ? TPathKind::Regular : TPathKind::Special;
#else
    const QFileInfo info(path);
    if (info.isSymLink() || info.isJunction())
        return TPathKind::SymLink;
    if (!info.exists())
        return TPathKind::Absent;
    if (info.isDir())
        return TPathKind::Folder;
    return info.isFile() ? TPathKind::Regular : TPathKind::Special;
#endif
}

TFileError OpenRegularFile(QFile &file, const QString &path, qint64 maxSize, QString *detail)
{
    const auto fail = [detail](TFileError error, const QString &words = QString()) {
        if (detail)
            *detail = words;
        return error;
    };
    if (path.isEmpty())
        return fail(TFileError::Missing);
#ifdef Q_OS_UNIX
    // Looked at before it is opened: opening a serial device or a FIFO can
    // already act on it or block.
    const QByteArray name = QFile::encodeName(path);
    struct stat status;
    if (::stat(name.constData(), &status) != 0)
        return errno == ENOENT ? fail(TFileError::Missing) : fail(TFileError::Failed, SystemText(errno));
    if (!S_ISREG(status.st_mode))
        return fail(TFileError::NotRegular);
    if (status.st_size > maxSize)
        return fail(TFileError::TooLarge);
    // Not blocking, and checked again once open, in case something else
    // took the name in between.
    const int handle = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        return errno == ENOENT ? fail(TFileError::Missing) : fail(TFileError::Failed, SystemText(errno));
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(handle);
        return fail(TFileError::NotRegular);
    }
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return fail(TFileError::Failed, file.errorString());
    }
#else
    const QFileInfo info(path);
    if (!info.exists())
        return fail(TFileError::Missing);
    if (!info.isFile())
        return fail(TFileError::NotRegular);
    if (info.size() > maxSize)
        return fail(TFileError::TooLarge);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(TFileError::Failed, file.errorString());
#endif
    return TFileError::None;
}

TReadResult ReadRegularFile(const QString &path, qint64 maxSize)
{
    TReadResult result;
    QFile file;
    result.error = OpenRegularFile(file, path, maxSize, &result.detail);
    if (!result.ok())
        return result;
    result.bytes = file.read(maxSize + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = TFileError::Failed;
        result.detail = file.errorString();
        result.bytes.clear();
    } else if (result.bytes.size() > maxSize) {
        result.error = TFileError::TooLarge;
        result.bytes.clear();
    }
    return result;
}

bool IsWritableTarget(const QString &path)
{
    const TPathKind kind = KindOf(path);
    return kind == TPathKind::Absent || kind == TPathKind::Regular;
}

TSaveResult SaveFile(const QString &path, const QByteArray &bytes, bool ownerOnly)
{
    TSaveResult result;
    if (!IsWritableTarget(path)) {
        result.error = TFileError::NotRegular;
        return result;
    }
    QSaveFile file(path);
    const auto fail = [&result, &file] {
        result.error = TFileError::Failed;
        result.detail = file.errorString();
        file.cancelWriting();
        return result;
    };
    if (!file.open(QIODevice::WriteOnly))
        return fail();
    // The temporary file is closed to others before the first byte goes in.
    if (ownerOnly && !file.setPermissions(kOwnerFile))
        return fail();
    if (file.write(bytes) != bytes.size())
        return fail();
    if (!file.commit()) {
        result.error = TFileError::Failed;
        result.detail = file.errorString();
    }
    return result;
}

bool MakeFolder(const QString &folder, bool ownerOnly)
{
    if (folder.isEmpty())
        return false;
    if (!QFileInfo(folder).isDir() && !QDir().mkpath(folder))
        return false;
    if (!QFileInfo(folder).isDir())
        return false;
    return !ownerOnly || QFile::setPermissions(folder, kOwnerFolder);
}

bool RestrictToOwner(const QString &path)
{
    return QFile::setPermissions(path, kOwnerFile);
}

QString CleanNamePart(const QString &text)
{
    QString part;
    bool gap = false;
    for (const QChar c : text) {
        if (NameCharacter(c)) {
            if (gap && !part.isEmpty())
                part += QLatin1Char('_');
            gap = false;
            part += c;
        } else {
            gap = true;
        }
    }
    while (part.endsWith(QLatin1Char('_')))
        part.chop(1);
    while (part.startsWith(QLatin1Char('_')))
        part.remove(0, 1);
    return part.isEmpty() ? QStringLiteral("unknown") : part;
}

} // namespace FileSafety
