// Reading only regular files of a bounded size, saving without ever losing
// the old file or writing through a link, owner-only files, and names made
// from device texts that stay in their folder.
#include "base/FileSafety_Unt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using FileSafety::TFileError;

namespace {

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a row's name is made to be in dir: "" nothing, "file" 10 bytes,
// "big" 11 bytes, "folder", "fifo", "link" a link to a 10-byte file,
// "dangling" a link to nothing, "device" /dev/zero.
QString Make(const QTemporaryDir &dir, const QString &kind)
{
    const QString path = dir.filePath(QStringLiteral("subject"));
    if (kind == QLatin1String("device"))
        return QStringLiteral("/dev/zero");
    if (kind == QLatin1String("file"))
        WriteBytes(path, "0123456789");
    else if (kind == QLatin1String("big"))
        WriteBytes(path, "0123456789A");
    else if (kind == QLatin1String("folder"))
        QDir(dir.path()).mkdir(QStringLiteral("subject"));
#ifdef Q_OS_UNIX
    else if (kind == QLatin1String("fifo"))
        ::mkfifo(QFile::encodeName(path).constData(), 0600);
#endif
    else if (kind == QLatin1String("link")) {
        WriteBytes(dir.filePath(QStringLiteral("target")), "0123456789");
        QFile::link(dir.filePath(QStringLiteral("target")), path);
    } else if (kind == QLatin1String("dangling")) {
        QFile::link(dir.filePath(QStringLiteral("target")), path);
    }
    return path;
}

} // namespace

class TestFileSafety : public QObject
{
    Q_OBJECT

private slots:
    void readsOnlyRegularFilesOfBoundedSize_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("regular file at the cap") << "file" << int(TFileError::None);
        QTest::newRow("one byte over the cap") << "big" << int(TFileError::TooLarge);
        QTest::newRow("nothing there") << "" << int(TFileError::Missing);
        QTest::newRow("folder") << "folder" << int(TFileError::NotRegular);
        QTest::newRow("link to a regular file") << "link" << int(TFileError::None);
        QTest::newRow("link to nothing") << "dangling" << int(TFileError::Missing);
#ifdef Q_OS_UNIX
        QTest::newRow("FIFO without a writer") << "fifo" << int(TFileError::NotRegular);
        QTest::newRow("endless device") << "device" << int(TFileError::NotRegular);
#endif
    }

    void readsOnlyRegularFilesOfBoundedSize()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const FileSafety::TReadResult read = FileSafety::ReadRegularFile(Make(dir, kind), 10);
        QCOMPARE(int(read.error), error);
        QCOMPARE(read.bytes, error == int(TFileError::None) ? QByteArray("0123456789") : QByteArray());
    }

    void savesOnlyOverRegularFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("error");
        QTest::newRow("new file") << "" << int(TFileError::None);
        QTest::newRow("over a regular file") << "file" << int(TFileError::None);
        QTest::newRow("over a folder") << "folder" << int(TFileError::NotRegular);
        QTest::newRow("through a link") << "link" << int(TFileError::NotRegular);
        QTest::newRow("through a link to nothing") << "dangling" << int(TFileError::NotRegular);
#ifdef Q_OS_UNIX
        QTest::newRow("into a FIFO") << "fifo" << int(TFileError::NotRegular);
        QTest::newRow("into a device") << "device" << int(TFileError::NotRegular);
#endif
    }

    void savesOnlyOverRegularFiles()
    {
        QFETCH(QString, kind);
        QFETCH(int, error);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = Make(dir, kind);
        const FileSafety::TSaveResult saved = FileSafety::SaveFile(path, "new content", false);
        QCOMPARE(int(saved.error), error);
        if (error == int(TFileError::None)) {
            QCOMPARE(Bytes(path), QByteArray("new content"));
        } else {
            // The link's target is neither made nor changed.
            const QString target = dir.filePath(QStringLiteral("target"));
            QCOMPARE(Bytes(target), kind == QLatin1String("link") ? QByteArray("0123456789") : QByteArray());
            QCOMPARE(QFile::exists(target), kind == QLatin1String("link"));
        }
        // No temporary file is left beside.
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral("subject.")).isEmpty());
    }

    void aFailedSaveKeepsTheOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("locked"));
        QVERIFY(QDir().mkdir(folder));
        const QString path = folder + QStringLiteral("/old.ini");
        QVERIFY(WriteBytes(path, "old"));
        // A folder nobody may write into: the temporary file cannot be made.
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const FileSafety::TSaveResult saved = FileSafety::SaveFile(path, "new", false);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (QFileInfo(path).isWritable() && saved.ok())
            QSKIP("running as a user every folder is open to");
        QCOMPARE(int(saved.error), int(TFileError::Failed));
        QVERIFY(!saved.detail.isEmpty());
        QCOMPARE(Bytes(path), QByteArray("old"));
    }

#ifdef Q_OS_UNIX
    void passwordFilesAreTheOwnersOnly_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new file") << false;
        QTest::newRow("over a file open to all") << true;
    }

    void passwordFilesAreTheOwnersOnly()
    {
        QFETCH(bool, existing);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("a/b"));
        QVERIFY(FileSafety::MakeFolder(folder, true));
        const QString path = folder + QStringLiteral("/secret.ini");
        if (existing) {
            QVERIFY(WriteBytes(path, "old"));
            QVERIFY(QFile::setPermissions(path, QFileDevice::Permissions(0x6666)));
        }
        QVERIFY(FileSafety::SaveFile(path, "5937", true).ok());
        struct stat status;
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &status), 0);
        QCOMPARE(int(status.st_mode & 0777), 0600);
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &status), 0);
        QCOMPARE(int(status.st_mode & 0777), 0700);
    }
#endif

    void namePartsStayInTheirFolder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::newRow("IMEI") << "861234567890123" << "861234567890123";
        QTest::newRow("climbing out") << "../../../../../x" << "x";
        QTest::newRow("absolute path") << "/etc/passwd" << "etc_passwd";
        QTest::newRow("Unix port") << "/dev/ttyUSB0" << "dev_ttyUSB0";
        QTest::newRow("Windows port") << "\\\\.\\COM10" << "COM10";
        QTest::newRow("demo port") << "demo:K801" << "demo_K801";
        QTest::newRow("dots only") << ".." << "unknown";
        QTest::newRow("empty") << "" << "unknown";
        QTest::newRow("control bytes and Chinese") << QString::fromUtf8("\x01\xe5\x86\xb7" "A\nB") << "A_B";
        QTest::newRow("drive letter") << "C:\\x" << "C_x";
    }

    void namePartsStayInTheirFolder()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QCOMPARE(FileSafety::CleanNamePart(text), part);
    }
};

QTEST_GUILESS_MAIN(TestFileSafety)
#include "tst_FileSafety.moc"
