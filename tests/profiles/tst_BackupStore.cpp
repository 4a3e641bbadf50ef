// The backups of what a device held before each write: named by IMEI and
// time, the newest 20 kept, the image back byte for byte, failures told.
#include "config/ConfigImage_Unt.h"
#include "profiles/BackupStore_Unt.h"
#include "profiles/IniFile_Unt.h"
#include "sim/DeviceSimulator_Unt.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
