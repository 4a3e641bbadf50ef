// The device session and its jobs against the simulated logger, without any
// window: the queue, time-outs, late and stale answers, lost lines, cancels.
#include "config/ConfigPages_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "session/ConfigReadJob_Unt.h"
#include "session/ConfigWriteJob_Unt.h"
#include "session/DeviceRequests_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryReadJob_Unt.h"
#include "session/LoginJob_Unt.h"
#include "session/RelayJob_Unt.h"
#include "session/VerifiedWriteJob_Unt.h"
#include "config/ConfigDiff_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "sim/PtyBridge_Unt.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

constexpr int JobWaitMs = 60000;
constexpr int HistoryRecordsPerPage = 4;

// A frame request of this command and page (address byte 4) was received.
bool IsRequest(const QByteArray &request, quint8 command, int page)
{
    return request.size() > 5 && request.at(0) == '#' && quint8(request.at(1)) == command
        && quint8(request.at(4)) == page;
}

// One wrong answer of the kinds a noisy line or a busy device gives.
void PlayFault(TDeviceSimulator *device, const QString &fault)
{
    if (fault == QLatin1String("duplicate"))
        device->duplicateReplies(1, 60);
    else if (fault == QLatin1String("repeat"))
        device->repeatPreviousReplies(1);
    else if (fault == QLatin1String("late"))
        device->delayReplies(1, 5000);
}

// The history pages as they were handed on, compared with the device's log.
struct TPagesSeen
{
    QList<QByteArray> payloads;

    explicit TPagesSeen(THistoryReadJob &read)
    {
        QObject::connect(&read, &THistoryReadJob::pageRead, &read, [this](int, const QByteArray &frame) {
            payloads << TBasicProtocol().GetData(frame);
        });
    }
    // Empty when every page holds the device's records in order, else what differs.
    QString DifferenceFrom(const TDeviceSimulator &device, int pages) const
    {
        if (payloads.size() != pages)
            return QStringLiteral("%1 pages of %2").arg(payloads.size()).arg(pages);
        for (int page = 0; page < pages; ++page) {
            QByteArray expected;
            for (int record = 0; record < HistoryRecordsPerPage; ++record)
                expected += device.historyRecord(page * HistoryRecordsPerPage + record);
            if (payloads.at(page) != expected)
                return QStringLiteral("page %1").arg(page);
        }
        return QString();
    }
};

bool RunToEnd(TDeviceJob &job)
{
    if (!job.start())
        return false;
    return QTest::qWaitFor([&job] { return !job.isRunning(); }, JobWaitMs);
}

// Raw requests for the tests of the queue itself: requests reach the
// session only through a job, so this one just passes them on.
class TRawRequests : public TDeviceJob
{
public:
    using TDeviceJob::TDeviceJob;
    TDeviceReply *Submit(const TDeviceRequest &request)
    {
        return Send(request, [](TDeviceReply *) {});
    }

protected:
    void Begin() override {}
};

} // namespace

class TestDeviceSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<TDeviceSession> m_session;

    TDeviceSimulator *Device() const { return DemoSimulator(m_session->port()); }

    // A session on a simulated logger of that model, logged in.
    bool Open(const QString &model)
    {
        m_session = std::make_unique<TDeviceSession>();
        QString error;
        if (!m_session->open(QStringLiteral("demo:") + model, &error))
            return false;
        TLoginJob login(m_session.get(), QStringLiteral("5937"));
        return RunToEnd(login) && login.outcome() == TDeviceJob::TOutcome::Done;
    }

    // A logged-in session on a K802 port opened anew, whose device echoes the
    // head or not: the session learns which from the first answers.
    TDeviceSimulator *OpenWithEcho(bool echo)
    {
        if (!Open(QStringLiteral("K802")))
            return nullptr;
        QString error;
        if (!m_session->open(QStringLiteral("demo:K802"), &error))
            return nullptr;
        Device()->setEchoesHead(echo);
        return Device();
    }

private slots:
    void initTestCase() { TDeviceSimulator::InstallDemoPorts(); }
    void cleanup() { m_session.reset(); }

    void twoSubmitsGetTheirOwnAnswers()
    {
        QVERIFY(Open(QStringLiteral("K803")));
        TDeviceSimulator *device = Device();
        device->setLatencyMs(200);
        // The sensor values change with the clock: keep those the device
        // answers with, taken as it takes the request.
        QByteArray valuesSent;
        connect(device, &TDeviceSimulator::requestReceived, device, [device, &valuesSent](const QByteArray &request) {
            if (request.size() > 1 && quint8(request.at(1)) == TBasicProtocol::CmdValues)
                valuesSent = device->currentValues();
        }, Qt::DirectConnection);
        TRawRequests raw(m_session.get());
        TDeviceReply *values = raw.Submit(DeviceRequests::CurrentValues(Const::ReplyThValues));
        TDeviceReply *clock = raw.Submit(DeviceRequests::ReadClock());
        QSignalSpy valuesDone(values, &TDeviceReply::finished);
        QSignalSpy clockDone(clock, &TDeviceReply::finished);
        QByteArray valuesPayload;
        QByteArray clockPayload;
        connect(values, &TDeviceReply::finished, this, [&] { valuesPayload = values->payload(); });
        connect(clock, &TDeviceReply::finished, this, [&] { clockPayload = clock->payload(); });
        QTRY_COMPARE_WITH_TIMEOUT(clockDone.count(), 1, JobWaitMs);
        QCOMPARE(valuesDone.count(), 1);
        QCOMPARE(valuesPayload.toHex(), valuesSent.toHex());
        QCOMPARE(clockPayload.size(), 6);
        QTRY_VERIFY(!m_session->busy());
    }

    void lateAnswerAfterTheTimeOutIsDropped()
    {
        QVERIFY(Open(QStringLiteral("K801")));
        // Later than the time-out, but within the quiet time after it.
        Device()->delayReplies(1, 3200);
        TRawRequests raw(m_session.get());
        TDeviceReply *clock = raw.Submit(DeviceRequests::ReadClock());
        int sends = 0;
        TReplyError error = TReplyError::Stopped;
        connect(clock, &TDeviceReply::finished, this, [&] {
            sends = clock->sends();
            error = clock->error();
        });
        TDeviceReply *version = raw.Submit(DeviceRequests::Version());
        QByteArray versionPayload;
        connect(version, &TDeviceReply::finished, this, [&] { versionPayload = version->payload(); });
        QTRY_VERIFY_WITH_TIMEOUT(!versionPayload.isEmpty(), JobWaitMs);
        QCOMPARE(error, TReplyError::None);
        QCOMPARE(sends, 2);
        QCOMPARE(m_session->staleCount(), 1);
        QCOMPARE(versionPayload.left(4), QByteArray("K801"));
    }

    void brokenAnswerIsDrainedAndAskedAgain()
    {
        QVERIFY(Open(QStringLiteral("K802")));
        Device()->splitReplies(1, 150);
        TRawRequests raw(m_session.get());
        TDeviceReply *page = raw.Submit(DeviceRequests::ReadHistoryPage(0));
        int sends = 0;
        QByteArray payload;
        connect(page, &TDeviceReply::finished, this, [&] {
            sends = page->sends();
            payload = page->payload();
        });
        QTRY_VERIFY_WITH_TIMEOUT(!payload.isEmpty(), JobWaitMs);
        QCOMPARE(sends, 2);
        QCOMPARE(payload, Device()->readMemory(0x4000));
    }

    void configReadGetsTheImage_data()
    {
        QTest::addColumn<bool>("echo");
        QTest::addColumn<QString>("fault");

        QTest::newRow("echo, clean") << true << "";
        QTest::newRow("echo, page 2 answered twice") << true << "duplicate";
        QTest::newRow("echo, page 2 answered with page 1") << true << "repeat";
        QTest::newRow("echo, page 2 answered 5 s late") << true << "late";
        QTest::newRow("no echo, page 2 answered twice") << false << "duplicate";
    }

    void configReadGetsTheImage()
    {
        QFETCH(bool, echo);
        QFETCH(QString, fault);
        TDeviceSimulator *device = OpenWithEcho(echo);
        QVERIFY(device);
        bool faultPlayed = false;
        connect(device, &TDeviceSimulator::requestReceived, device, [device, fault, &faultPlayed](const QByteArray &request) {
            // The first answer to page 2 goes wrong; the page asked again is answered well.
            if (IsRequest(request, TBasicProtocol::CmdReadMemory, 2) && !std::exchange(faultPlayed, true))
                PlayFault(device, fault);
        }, Qt::DirectConnection);

        TConfigReadJob read(m_session.get(), 1);
        QVERIFY(RunToEnd(read));
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(read.Image().left(TDeviceSimulator::ImageSize).toHex(), device->configImage().toHex());
        QCOMPARE(m_session->echo(), echo ? TDeviceSession::TEcho::Echoes : TDeviceSession::TEcho::NoEcho);
    }

    // Every page of the log comes once and in order, whatever extra or late
    // copies of a page answer the device gives, with or without an echoed head.
    void historyReadGetsEveryPageOnce_data()
    {
        QTest::addColumn<bool>("echo");
        QTest::addColumn<QString>("fault");
        QTest::newRow("echo, clean") << true << "";
        QTest::newRow("echo, page 1 answered twice") << true << "duplicate";
        QTest::newRow("echo, page 1 answered with page 0") << true << "repeat";
        QTest::newRow("echo, page 1 answered 5 s late") << true << "late";
        QTest::newRow("no echo, page 1 answered twice") << false << "duplicate";
        QTest::newRow("no echo, page 1 answered with page 0") << false << "repeat";
        QTest::newRow("no echo, page 1 answered 5 s late") << false << "late";
    }

    void historyReadGetsEveryPageOnce()
    {
        QFETCH(bool, echo);
        QFETCH(QString, fault);
        TDeviceSimulator *device = OpenWithEcho(echo);
        QVERIFY(device);
        device->setHistoryRecordCount(24);
        int pageAsks = 0;
        connect(device, &TDeviceSimulator::requestReceived, device, [device, fault, &pageAsks](const QByteArray &request) {
            if (request.size() > 1 && quint8(request.at(1)) == TBasicProtocol::CmdReadMemory && ++pageAsks == 2)
                PlayFault(device, fault);
        }, Qt::DirectConnection);

        const int pages = 6;
        THistoryReadJob read(m_session.get(), pages);
        const TPagesSeen seen(read);
        QVERIFY(RunToEnd(read));
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(seen.DifferenceFrom(*device, pages), QString());
    }

    // A relay status answered 5 s late, after its request gave up, must not
    // be taken for the first page of a history read started meanwhile.
    void lateRelayStatusIsNotAHistoryPage_data()
    {
        QTest::addColumn<bool>("echo");
        QTest::newRow("echo") << true;
        QTest::newRow("no echo") << false;
    }

    void lateRelayStatusIsNotAHistoryPage()
    {
        QFETCH(bool, echo);
        TDeviceSimulator *device = OpenWithEcho(echo);
        QVERIFY(device);
        const int pages = 50;
        device->setHistoryRecordCount(pages * HistoryRecordsPerPage);

        // The first status ask is answered long after the job gave up, while
        // the history read runs; the other asks get no answer.
        int statusAsks = 0;
        connect(device, &TDeviceSimulator::requestReceived, device, [device, &statusAsks](const QByteArray &request) {
            if (request.size() < 2 || quint8(request.at(1)) != TBasicProtocol::CmdValues)
                return;
            if (statusAsks++ == 0)
                device->delayReplies(1, 12500);
            else
                device->dropReplies(1);
        }, Qt::DirectConnection);
        QElapsedTimer clock;
        clock.start();
        TRelayJob relay(m_session.get(), "DOC1");
        QVERIFY(RunToEnd(relay));
        QCOMPARE(relay.outcome(), TDeviceJob::TOutcome::Failed);

        const int dropped = m_session->staleCount() + m_session->unsolicitedCount();
        THistoryReadJob read(m_session.get(), pages);
        const TPagesSeen seen(read);
        QVERIFY(RunToEnd(read));
        // The late status came while the read ran, and was not taken.
        QVERIFY2(clock.elapsed() > 12500, qPrintable(QString::number(clock.elapsed())));
        if (echo)
            QCOMPARE(m_session->staleCount() + m_session->unsolicitedCount(), dropped + 1);
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(seen.DifferenceFrom(*device, pages), QString());
    }

    // The device's image with new values in fields spread over several pages:
    // the description, every phone number and the first channel's name.
    static QByteArray EditedImage(const QByteArray &deviceImage, int modelIndex)
    {
        TDecodeResult decoded = DecodeImage(deviceImage, modelIndex);
        TConfigValues &values = decoded.Values;
        values.Texts[ConfigControls::DeviceDescription] = QStringLiteral("Cold room 3");
        for (int row = 0; row < values.lvTel.size(); ++row)
            values.lvTel[row][ConfigCells::TelNumber] = QStringLiteral("1380000%1").arg(row, 4, 10, QLatin1Char('0'));
        values.lvTh[0][ConfigCells::ThName] = QStringLiteral("Freezer");
        return EncodeImage(values, modelIndex).Image;
    }

    void verifiedWrite_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("device takes every page") << "";
        QTest::newRow("device drops a page it confirms") << "ignore";
        QTest::newRow("backup cannot be kept") << "backup";
        QTest::newRow("image of the last read used") << "cached";
    }

    void verifiedWrite()
    {
        QFETCH(QString, fault);
        QVERIFY(Open(QStringLiteral("K802")));
        TDeviceSimulator *device = Device();
        const QByteArray before = device->configImage();
        const QByteArray image = EditedImage(before, 1);
        QCOMPARE(image.size(), ConfigMap::ImageSize);
        // The first page the edit changes is the one the device drops.
        int changedPage = 0;
        while (before.mid(changedPage * 256, 256) == image.mid(changedPage * 256, 256))
            ++changedPage;
        if (fault == QLatin1String("ignore"))
            device->ignoreConfigPageWrites(changedPage);
        QByteArray kept;
        const int readsBefore = device->framesWithCommand(TBasicProtocol::CmdReadMemory);
        TVerifiedWriteJob write(m_session.get(), 1, image, fault == QLatin1String("cached") ? before : QByteArray(),
                                [&kept, fault](const QByteArray &deviceImage, QString *) {
                                    kept = deviceImage;
                                    return fault == QLatin1String("backup") ? QStringLiteral("disk full") : QString();
                                });
        QVERIFY(RunToEnd(write));
        QCOMPARE(kept.toHex(), before.toHex());
        const int reads = device->framesWithCommand(TBasicProtocol::CmdReadMemory) - readsBefore;
        const int writes = device->framesWithCommand(TBasicProtocol::CmdWriteMemory);

        if (fault == QLatin1String("backup")) {
            QCOMPARE(write.outcome(), TDeviceJob::TOutcome::Failed);
            QCOMPARE(write.Failure().what, TVerifiedWriteJob::TFailure::BackupKept);
            QCOMPARE(write.Failure().detail, QStringLiteral("disk full"));
            QCOMPARE(writes, 0);
            QCOMPARE(device->configImage().toHex(), before.toHex());
            return;
        }
        QCOMPARE(writes, ConfigPages::WritePageCount);
        // The backup read is left out when the caller has the image; the read-back never.
        QCOMPARE(reads, (fault == QLatin1String("cached") ? 1 : 2) * ConfigPages::ReadPageCount);
        if (fault == QLatin1String("ignore")) {
            QCOMPARE(write.outcome(), TDeviceJob::TOutcome::Failed);
            QCOMPARE(write.Failure().what, TVerifiedWriteJob::TFailure::Differs);
            const QList<TFieldDiff> diffs = DiffConfigImages(write.ReadBackImage(), image, 1);
            QVERIFY(!diffs.isEmpty());
            // Every field named is one the dropped page holds: the rest arrived.
            const QByteArray expected = image.left(changedPage * 256) + before.mid(changedPage * 256, 256)
                + image.mid((changedPage + 1) * 256);
            QCOMPARE(write.ReadBackImage().toHex(), expected.toHex());
            return;
        }
        QCOMPARE(write.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(write.ReadBackImage().toHex(), image.toHex());
        QCOMPARE(device->configImage().toHex(), image.toHex());
    }

    void verifiedWriteStoppedSaysWhereItWas()
    {
        QVERIFY(Open(QStringLiteral("K802")));
        TDeviceSimulator *device = Device();
        const QByteArray before = device->configImage();
        TVerifiedWriteJob write(m_session.get(), 1, EditedImage(before, 1), before, {});
        // Stop once the third page has been written.
        connect(device, &TDeviceSimulator::requestReceived, this, [&write](const QByteArray &request) {
            if (IsRequest(request, TBasicProtocol::CmdWriteMemory, 2))
                write.cancel();
        }, Qt::QueuedConnection);
        QVERIFY(RunToEnd(write));
        QCOMPARE(write.outcome(), TDeviceJob::TOutcome::Stopped);
        QCOMPARE(TVerifiedWriteJob::TStep(write.Failure().step), TVerifiedWriteJob::TStep::Write);
        QTRY_VERIFY(!m_session->busy());
        QVERIFY(device->framesWithCommand(TBasicProtocol::CmdWriteMemory) < ConfigPages::WritePageCount);
    }

    void unknownModelIsNotRead()
    {
        QVERIFY(Open(QStringLiteral("K802")));
        const int requests = Device()->requestLog().size();
        TConfigReadJob read(m_session.get(), -1);
        QVERIFY(RunToEnd(read));
        QCOMPARE(read.Failure().what, TConfigReadJob::TFailure::UnknownModel);
        QCOMPARE(Device()->requestLog().size(), requests);
    }

    void lostLineEndsTheJob()
    {
        TDeviceSimulator device(TDeviceSimulator::Model::K802);
        device.setHistoryRecordCount(400);
        TPtyBridge bridge(&device);
        QVERIFY2(bridge.open(), qPrintable(bridge.errorString()));
        TDeviceSession session;
        QString error;
        QVERIFY(session.open(bridge.slavePath(), &error));
        QSignalSpy lost(&session, &TDeviceSession::connectionLost);
        THistoryReadJob read(&session, 100);
        connect(&read, &THistoryReadJob::pageRead, this, [&bridge](int page) {
            if (page == 3)
                bridge.closeMaster();
        });
        QVERIFY(RunToEnd(read));
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::LineLost);
        QCOMPARE(read.PagesRead(), 4);
        QCOMPARE(lost.count(), 1);
        QVERIFY(!session.isOpen());
        QVERIFY(!session.busy());
    }

    void cancelDuringAWriteStopsAtOnce()
    {
        QVERIFY(Open(QStringLiteral("K802")));
        TDeviceSimulator *device = Device();
        const QByteArray image = device->configImage();
        TConfigWriteJob write(m_session.get(), image);
        connect(device, &TDeviceSimulator::requestReceived, &write, [&write](const QByteArray &request) {
            if (IsRequest(request, TBasicProtocol::CmdWriteMemory, 3))
                write.cancel();
        });
        QVERIFY(RunToEnd(write));
        QCOMPARE(write.outcome(), TDeviceJob::TOutcome::Stopped);
        QCOMPARE(write.PagesSent(), 4);
        QTest::qWait(300);
        QCOMPARE(device->framesWithCommand(TBasicProtocol::CmdWriteMemory), 4);
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->busy(), JobWaitMs);
    }

    void secondJobIsRefusedWhileOneRuns()
    {
        QVERIFY(Open(QStringLiteral("K803")));
        TConfigReadJob first(m_session.get(), 2);
        TConfigReadJob second(m_session.get(), 2);
        QVERIFY(first.start());
        QVERIFY(!second.start());
        QVERIFY(QTest::qWaitFor([&first] { return !first.isRunning(); }, JobWaitMs));
        QCOMPARE(first.outcome(), TDeviceJob::TOutcome::Done);
    }

    void loginNeedsAKnownModel_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("outcome");

        QTest::newRow("password reply with a bad checksum is asked again") << "password" << int(TLoginJob::TFailure::None);
        QTest::newRow("one bad version reply is asked again") << "version once" << int(TLoginJob::TFailure::None);
        QTest::newRow("no good version reply") << "version always" << int(TLoginJob::TFailure::Unidentified);
    }

    void loginNeedsAKnownModel()
    {
        QFETCH(QString, fault);
        QFETCH(int, outcome);
        m_session = std::make_unique<TDeviceSession>();
        QString error;
        QVERIFY(m_session->open(QStringLiteral("demo:K803"), &error));
        TDeviceSimulator *device = Device();
        if (fault == QLatin1String("password"))
            device->corruptChecksums(1);
        int versionAsks = 0;
        connect(device, &TDeviceSimulator::requestReceived, device, [&, device](const QByteArray &request) {
            if (request.size() < 2 || quint8(request.at(1)) != TBasicProtocol::CmdVersion)
                return;
            ++versionAsks;
            if (fault == QLatin1String("version always") || (fault == QLatin1String("version once") && versionAsks == 1))
                device->corruptChecksums(1);
        }, Qt::DirectConnection);
        TLoginJob login(m_session.get(), QStringLiteral("5937"));
        QVERIFY(RunToEnd(login));
        QCOMPARE(int(login.Failure().what), outcome);
        if (outcome == int(TLoginJob::TFailure::None)) {
            QCOMPARE(login.outcome(), TDeviceJob::TOutcome::Done);
            QCOMPARE(login.Identity().modelIndex, 2);
            QCOMPARE(login.Identity().imei, device->imei());
        } else {
            QCOMPARE(login.Identity().modelIndex, -1);
            QCOMPARE(versionAsks, TLoginJob::VersionAsks * DeviceRequests::Attempts);
        }
    }

    void relayStateUnknownWhenNoStatusComes()
    {
        QVERIFY(Open(QStringLiteral("K802")));
        TDeviceSimulator *device = Device();
        connect(device, &TDeviceSimulator::requestReceived, device, [device](const QByteArray &request) {
            if (request.size() > 1 && quint8(request.at(1)) == TBasicProtocol::CmdValues)
                device->dropReplies(1);
        }, Qt::DirectConnection);
        TRelayJob relay(m_session.get(), "DOC1");
        QVERIFY(RunToEnd(relay));
        QCOMPARE(relay.outcome(), TDeviceJob::TOutcome::Failed);
        QVERIFY(relay.StatusFrame().isEmpty());
        QCOMPARE(device->relayBits() & 1, 1); // the line itself went out
    }

    // A logger that does not echo the head: bytes unasked right after the
    // last page may be its answer, so the read goes again.
    // The last page answered twice: the copy comes after the read. From a
    // logger that echoes the head it cannot have been taken for a page, and
    // the read trusts its pages at once; from one that does not, it shows
    // that every page may have been shifted, and the read goes again.
    void configReadAfterALastPageAnsweredTwice_data()
    {
        QTest::addColumn<bool>("echo");
        QTest::addColumn<int>("pagesAsked");
        QTest::newRow("echo: pages trusted at once") << true << ConfigPages::ReadPageCount;
        QTest::newRow("no echo: read again") << false << 2 * ConfigPages::ReadPageCount;
    }

    void configReadAfterALastPageAnsweredTwice()
    {
        QFETCH(bool, echo);
        QFETCH(int, pagesAsked);
        TDeviceSimulator *device = OpenWithEcho(echo);
        QVERIFY(device);
        int lastPageAsks = 0;
        connect(device, &TDeviceSimulator::requestReceived, device, [device, &lastPageAsks](const QByteArray &request) {
            if (IsRequest(request, TBasicProtocol::CmdReadMemory, ConfigPages::ReadPageCount - 1) && lastPageAsks++ == 0)
                device->duplicateReplies(1, 60);
        }, Qt::DirectConnection);
        TConfigReadJob read(m_session.get(), 1);
        read.SetAskValues(false);
        QVERIFY(RunToEnd(read));
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(device->framesWithCommand(TBasicProtocol::CmdReadMemory), pagesAsked);
        QCOMPARE(read.Image().left(TDeviceSimulator::ImageSize), device->configImage());
    }

    void unaskedBytesDuringAReadMakeItReadAgain()
    {
        TDeviceSimulator *device = OpenWithEcho(false);
        QVERIFY(device);
        int garbageSent = 0;
        connect(device, &TDeviceSimulator::requestReceived, device, [&, device](const QByteArray &request) {
            // Once page 14 has been answered, bytes nobody asked for.
            if (IsRequest(request, TBasicProtocol::CmdReadMemory, 14) && garbageSent++ == 0)
                QTimer::singleShot(60, device, [device] { device->sendGarbage(QByteArray("\x23\x01garbage", 9)); });
        }, Qt::DirectConnection);
        TConfigReadJob read(m_session.get(), 1);
        QVERIFY(RunToEnd(read));
        QCOMPARE(read.outcome(), TDeviceJob::TOutcome::Done);
        QCOMPARE(device->framesWithCommand(TBasicProtocol::CmdReadMemory), 2 * ConfigPages::ReadPageCount);
        QCOMPARE(read.Image().left(TDeviceSimulator::ImageSize), device->configImage());
    }
};

QTEST_GUILESS_MAIN(TestDeviceSession)
#include "tst_DeviceSession.moc"
