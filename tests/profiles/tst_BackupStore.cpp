// The backups of what a device held before each write: named by IMEI and
// time, the newest 20 kept, the image back byte for byte, failures told.
#include "config/ConfigImage_Unt.h"
#include "profiles/BackupStore_Unt.h"
#include "profiles/IniFile_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString kImei = QStringLiteral("861234567890123");

QByteArray Described(const QByteArray &image, char first)
{
    QByteArray changed = image;
    changed[34] = first; // the description's first letter
    return changed;
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestBackupStore : public QObject
{
    Q_OBJECT

private slots:
    void keepsTheNewestTwentyOfEachDevice()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const TBackupStore store(dir.path());
        const QByteArray image = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K802);
        const QDateTime first(QDate(2026, 12, 1), QTime(8, 0));
        for (int index = 0; index < 22; ++index) {
            QByteArray changed = image;
            changed[34] = char('A' + index); // the description's first letter
            QCOMPARE(store.Keep(QStringLiteral("861234567890123"), changed, 1, 1, first.addSecs(60 * index)), QString());
        }
        QCOMPARE(store.Keep(QStringLiteral("869999999999999"), image, 1, 1, first), QString());

        const QList<TBackupEntry> entries = store.List(QStringLiteral("861234567890123"));
        QCOMPARE(entries.size(), TBackupStore::KeepPerDevice);
        QCOMPARE(entries.first().time, first.addSecs(60 * 21));
        QCOMPARE(entries.last().time, first.addSecs(60 * 2));
        QCOMPARE(TBackupStore::LoadImage(entries.first()).at(34), 'A' + 21);
        QVERIFY(QFile::exists(entries.first().profilePath));
        QCOMPARE(store.List(QStringLiteral("869999999999999")).size(), 1);
        // The two removed backups went with their profiles.
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("861234567890123_*")}, QDir::Files).size(),
                 2 * TBackupStore::KeepPerDevice);
    }

    void twoBackupsInOneSecondBothStay()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const TBackupStore store(dir.path());
        const QByteArray image = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K801);
        const QDateTime now(QDate(2026, 12, 1), QTime(8, 0));
        QByteArray second = image;
        second[34] = 'Z';
        QCOMPARE(store.Keep(QStringLiteral("1"), image, 0, 1, now), QString());
        QCOMPARE(store.Keep(QStringLiteral("1"), second, 0, 1, now), QString());
        const QList<TBackupEntry> entries = store.List(QStringLiteral("1"));
        QCOMPARE(entries.size(), 2);
        QCOMPARE(TBackupStore::LoadImage(entries.at(0)).toHex(), second.toHex());
        QCOMPARE(TBackupStore::LoadImage(entries.at(1)).toHex(), image.toHex());
    }

    // A PC clock that was ahead and has been set back: the backup made now
    // is older by its time than all the others, and still the newest.
    void theBackupJustKeptIsNeverPruned()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const TBackupStore store(dir.path());
        const QByteArray image = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K801);
        const QDateTime ahead(QDate(2027, 6, 1), QTime(8, 0));
        for (int index = 0; index < TBackupStore::KeepPerDevice; ++index)
            QCOMPARE(store.Keep(kImei, Described(image, char('A' + index)), 0, 1, ahead.addSecs(60 * index)), QString());
        const QDateTime now(QDate(2026, 12, 1), QTime(8, 0));
        TBackupEntry kept;
        QCOMPARE(store.Keep(kImei, Described(image, 'z'), 0, 1, now, &kept), QString());

        QVERIFY(QFile::exists(kept.imagePath));
        QVERIFY(QFile::exists(kept.profilePath));
        const QList<TBackupEntry> entries = store.List(kImei);
        QCOMPARE(entries.size(), TBackupStore::KeepPerDevice);
        QCOMPARE(entries.first().imagePath, kept.imagePath);
        QCOMPARE(entries.first().time, now);
        QCOMPARE(TBackupStore::LoadImage(entries.first()).at(34), 'z');
        // The oldest made went, not the one of the earliest time.
        QCOMPARE(TBackupStore::LoadImage(entries.last()).at(34), 'B');
    }

    // Files that only look like backups are neither listed nor removed.
    void onlyTrueBackupsAreListedAndPruned_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("link");
        QTest::newRow("name that does not parse") << kImei + QStringLiteral("_2026120-080000.bin") << false;
        QTest::newRow("impossible date") << kImei + QStringLiteral("_20261399-256161.bin") << false;
        QTest::newRow("another device") << QStringLiteral("869999999999999_20261201-080000.bin") << false;
        QTest::newRow("link to a file outside") << kImei + QStringLiteral("_20261201-080000.bin") << true;
        QTest::newRow("numbered link") << kImei + QStringLiteral("_20261201-080000_9.bin") << true;
    }

    void onlyTrueBackupsAreListedAndPruned()
    {
        QFETCH(QString, name);
        QFETCH(bool, link);
        QTemporaryDir dir;
        QTemporaryDir outside;
        QVERIFY(dir.isValid() && outside.isValid());
        const QByteArray image = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K801);
        const QString path = dir.filePath(name);
        if (link) {
            const QString target = outside.filePath(QStringLiteral("target.bin"));
            QVERIFY(WriteBytes(target, image));
            QVERIFY(QFile::link(target, path));
        } else {
            QVERIFY(WriteBytes(path, image));
        }
        const TBackupStore store(dir.path());
        QVERIFY(store.List(kImei).isEmpty());
        const QDateTime first(QDate(2026, 12, 2), QTime(8, 0));
        for (int index = 0; index <= TBackupStore::KeepPerDevice; ++index)
            QCOMPARE(store.Keep(kImei, image, 0, 1, first.addSecs(index)), QString());
        QCOMPARE(store.List(kImei).size(), TBackupStore::KeepPerDevice);
        QVERIFY(QFileInfo(path).isSymLink() || QFileInfo::exists(path));
        for (const TBackupEntry &entry : store.List(kImei))
            QVERIFY(!QFileInfo(entry.imagePath).isSymLink());
    }

    // A link at a name the store would use sends nothing outside the folder.
    void aLinkAtTheNextNameIsPassedOver()
    {
        QTemporaryDir dir;
        QTemporaryDir outside;
        QVERIFY(dir.isValid() && outside.isValid());
        const QDateTime now(QDate(2026, 12, 1), QTime(8, 0));
        const QString target = outside.filePath(QStringLiteral("stolen.bin"));
        for (const char *suffix : {".bin", ".ini"})
            QVERIFY(QFile::link(target, dir.filePath(kImei + QStringLiteral("_20261201-080000_1") + QLatin1String(suffix))));
        const TBackupStore store(dir.path());
        TBackupEntry kept;
        QCOMPARE(store.Keep(kImei, TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K801), 0, 1, now, &kept),
                 QString());
        QVERIFY(!QFile::exists(target));
        QVERIFY(!QFileInfo(kept.imagePath).isSymLink());
        QCOMPARE(QFileInfo(kept.imagePath).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
        QCOMPARE(store.List(kImei).size(), 1);
    }

    void backupFilesAreTheOwnersOnly()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString folder = dir.filePath(QStringLiteral("backups"));
        const TBackupStore store(folder);
        TBackupEntry kept;
        QCOMPARE(store.Keep(kImei, TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K802), 1, 1,
                            QDateTime::currentDateTime(), &kept),
                 QString());
#ifdef Q_OS_UNIX
        const auto owner = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup
                            | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        for (const QString &path : {kept.imagePath, kept.profilePath}) {
            QCOMPARE(QFileInfo(path).permissions() & (owner | others), owner);
        }
        QCOMPARE(QFileInfo(folder).permissions() & others, QFileDevice::Permissions());
#endif
    }

    // What restore checks before it writes a backup to a device.
    void checkBeforeRestore_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<int>("fault");
        QTest::newRow("sound") << "" << int(TBackupFault::None);
        QTest::newRow("random bytes") << "random" << int(TBackupFault::BadPassword);
        QTest::newRow("random bytes, password of digits") << "random digits" << int(TBackupFault::NotAnImage);
        QTest::newRow("one byte short") << "short" << int(TBackupFault::WrongSize);
        QTest::newRow("one byte more") << "long" << int(TBackupFault::WrongSize);
        QTest::newRow("password of letters") << "password" << int(TBackupFault::BadPassword);
        QTest::newRow("image file missing") << "no image" << int(TBackupFault::Unreadable);
        QTest::newRow("profile missing") << "no profile" << int(TBackupFault::ProfileMissing);
        QTest::newRow("profile is a link") << "linked profile" << int(TBackupFault::ProfileMissing);
        QTest::newRow("profile says otherwise") << "profile edited" << int(TBackupFault::ProfileDiffers);
        QTest::newRow("image edited, profile not") << "image edited" << int(TBackupFault::ProfileDiffers);
        // A restore brings back what no field shows, as the device held it.
        QTest::newRow("reserved byte set") << "reserved" << int(TBackupFault::None);
    }

    void checkBeforeRestore()
    {
        QFETCH(QString, damage);
        QFETCH(int, fault);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const TBackupStore store(dir.path());
        const QByteArray image = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K802);
        TBackupEntry kept;
        QCOMPARE(store.Keep(kImei, image, 1, 1, QDateTime::currentDateTime(), &kept), QString());
        QByteArray bytes = image;
        if (damage.startsWith(QLatin1String("random"))) {
            quint32 seed = 24;
            for (char &byte : bytes) {
                seed = seed * 1103515245u + 12345u;
                byte = char(seed >> 24);
            }
            bytes.replace(0, 4, damage == QLatin1String("random") ? "x123" : "1234");
        } else if (damage == QLatin1String("short")) {
            bytes.chop(1);
        } else if (damage == QLatin1String("long")) {
            bytes.append('\0');
        } else if (damage == QLatin1String("password")) {
            bytes.replace(0, 4, "abcd");
        } else if (damage == QLatin1String("reserved")) {
            bytes[ConfigMap::ReservedZeros] = char(0x5A);
        } else if (damage == QLatin1String("image edited")) {
            bytes[34] = 'Q';
        }
        if (bytes != image)
            QVERIFY(WriteBytes(kept.imagePath, bytes));
        if (damage == QLatin1String("no image"))
            QVERIFY(QFile::remove(kept.imagePath));
        if (damage == QLatin1String("no profile"))
            QVERIFY(QFile::remove(kept.profilePath));
        if (damage == QLatin1String("linked profile")) {
            const QString moved = dir.filePath(QStringLiteral("elsewhere.ini"));
            QVERIFY(QFile::rename(kept.profilePath, moved));
            QVERIFY(QFile::link(moved, kept.profilePath));
        }
        if (damage == QLatin1String("profile edited")) {
            TIniFile ini(kept.profilePath);
            QVERIFY(ini.Load().ok());
            QVERIFY(ini.WriteString(QStringLiteral("Value"), QStringLiteral("lbledt_Main_Password"), QStringLiteral("4321")));
            QVERIFY(ini.Save().ok());
        }
        QByteArray checked;
        QCOMPARE(int(TBackupStore::Check(kept, 1, &checked)), fault);
        QCOMPARE(checked.isEmpty(), fault != int(TBackupFault::None));
        if (fault == int(TBackupFault::None))
            QCOMPARE(checked.toHex(), bytes.toHex());
        else
            QVERIFY(!TBackupStore::FaultText(TBackupFault(fault), 1).isEmpty());
    }

    void failuresAreTold_data()
    {
        QTest::addColumn<QString>("why");
        QTest::newRow("folder is a file") << "file";
        QTest::newRow("image too short") << "short";
    }

    void failuresAreTold()
    {
        QFETCH(QString, why);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString folder = dir.path();
        QByteArray image = TDeviceSimulator::FactoryImage(TDeviceSimulator::Model::K803);
        if (why == QLatin1String("file")) {
            folder = dir.filePath(QStringLiteral("backups"));
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        } else {
            image.chop(1);
        }
        const TBackupStore store(folder);
        QVERIFY(!store.Keep(QStringLiteral("1"), image, 2, 1).isEmpty());
        QVERIFY(store.List(QStringLiteral("1")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBackupStore)
#include "tst_BackupStore.moc"
