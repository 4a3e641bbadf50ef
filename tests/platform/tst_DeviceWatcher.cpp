#include "platform/DeviceWatcher_Unt.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QtTest>

// The ports a test pretends the system has, and the threads they were read on.
struct TFakePorts
{
    QMutex lock;
    QStringList ports;
    QList<QThread *> readOn;

    QStringList Read()
    {
        QMutexLocker locker(&lock);
        readOn.append(QThread::currentThread());
        return ports;
    }
    void Set(const QStringList &now)
    {
        QMutexLocker locker(&lock);
        ports = now;
    }
    int Reads()
    {
        QMutexLocker locker(&lock);
        return readOn.size();
    }
};

class tst_DeviceWatcher : public QObject
{
    Q_OBJECT

private slots:
    // A node that comes or goes in a watched folder makes the ports be read
    // again, never on the window's thread; a port gone is a removal.
    void nodeChangesReadPortsOffTheWindowThread_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("changes");
        QTest::addColumn<int>("removals");
        QTest::newRow("adapter plugged in") << QStringList{"/dev/ttyS0"} << QStringList{"/dev/ttyS0", "/dev/ttyUSB0"} << 1 << 0;
        QTest::newRow("adapter pulled out") << QStringList{"/dev/ttyS0", "/dev/ttyUSB0"} << QStringList{"/dev/ttyS0"} << 1 << 1;
        QTest::newRow("a node that is no port") << QStringList{"/dev/ttyS0"} << QStringList{"/dev/ttyS0"} << 0 << 0;
    }

    void nodeChangesReadPortsOffTheWindowThread()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(int, changes);
        QFETCH(int, removals);
        QTemporaryDir dev;
        QVERIFY(dev.isValid());
        TFakePorts fake;
        fake.Set(before);
        TDeviceWatcher watcher(nullptr, 1500, {dev.path()}, [&fake] { return fake.Read(); });
        QSignalSpy read(&watcher, &TDeviceWatcher::PortsRead);
        QCOMPARE(watcher.WatchedFolders(), QStringList{dev.path()});
        QTRY_COMPARE(read.size(), 1);
        QCOMPARE(watcher.Ports(), before);
        QSignalSpy changed(&watcher, &TDeviceWatcher::DevicesChanged);
        QSignalSpy removed(&watcher, &TDeviceWatcher::DeviceRemoveComplete);

        fake.Set(after);
        QFile node(dev.filePath(QStringLiteral("ttyUSB0")));
        QVERIFY(node.open(QIODevice::WriteOnly));
        node.close();
        QTRY_COMPARE(fake.Reads(), 2);
        QTest::qWait(50);
        QCOMPARE(changed.size(), changes);
        QCOMPARE(removed.size(), removals);
        // A reading that differs is passed on; the same list is not.
        QCOMPARE(read.size(), 1 + changes);
        QCOMPARE(read.last().first().toStringList(), after);
        QCOMPARE(watcher.Ports(), after);
        for (QThread *thread : fake.readOn)
            QVERIFY(thread != QThread::currentThread());
    }

    // Nothing changes, nothing is read: an idle window spends nothing here.
    void idleWatcherReadsNothing()
    {
        QTemporaryDir dev;
        QVERIFY(dev.isValid());
        TFakePorts fake;
        TDeviceWatcher watcher(nullptr, 100, {dev.path()}, [&fake] { return fake.Read(); });
        QTRY_COMPARE(fake.Reads(), 1);
        QTest::qWait(600);
        QCOMPARE(fake.Reads(), 1);
        for (QTimer *timer : watcher.findChildren<QTimer *>())
            QVERIFY(!timer->isActive());
    }

    // Where no folder can be watched the list is polled, off the window's thread.
    void withoutFoldersPollsOffTheWindowThread()
    {
        TFakePorts fake;
        TDeviceWatcher watcher(nullptr, 100, {QStringLiteral("/no/such/folder")}, [&fake] { return fake.Read(); });
        QVERIFY(watcher.WatchedFolders().isEmpty());
        QTRY_VERIFY(fake.Reads() >= 3);
        for (QThread *thread : fake.readOn)
            QVERIFY(thread != QThread::currentThread());
    }
};

QTEST_GUILESS_MAIN(tst_DeviceWatcher)
#include "tst_DeviceWatcher.moc"
