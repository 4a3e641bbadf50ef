// The simulator's two parts on their own: the line carries whatever bytes it
// is given, with its pacing and fault knobs and no knowledge of the
// protocol; the logger answers requests through its sink with no line at all.
#include "link/BasicProtocol_Unt.h"
#include "sim/SimLine_Unt.h"
#include "sim/SimLogger_Unt.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

constexpr int WaitMs = 3000;

QByteArray Frame(quint8 command, quint32 address, const QByteArray &data = QByteArray())
{
    const TBasicProtocol codec;
    return codec.BuildFrame(command, codec.IntToAddress(address), data);
}

// Everything the line sent until it fell quiet.
QByteArray Carried(TSimLine &line)
{
    QByteArray carried;
    QObject::connect(&line, &TSimLine::bytesToHost, &line, [&carried](const QByteArray &bytes) { carried += bytes; });
    QTest::qWaitFor([&line] { return !line.pending(); }, WaitMs);
    QTest::qWait(20);
    return carried;
}

} // namespace

class TestSimParts : public QObject
{
    Q_OBJECT

private slots:
    // 96 bytes at 9600 baud take 100 ms on the line: they are not out sooner.
    void lineIsPacedAtItsBaudRate()
    {
        TSimLine line;
        line.setBaudRate(9600);
        line.setLatencyMs(0);
        const QByteArray bytes(96, 'x');
        QElapsedTimer clock;
        clock.start();
        line.RequestArrived();
        line.Send({TSimBurst{bytes, 0}}, false);
        QSignalSpy out(&line, &TSimLine::bytesToHost);
        QVERIFY(QTest::qWaitFor([&line] { return !line.pending(); }, WaitMs));
        QVERIFY2(clock.elapsed() >= 95, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(out.size() > 1);
        QByteArray carried;
        for (const QList<QVariant> &slice : out)
            carried += slice.at(0).toByteArray();
        QCOMPARE(carried, bytes);
    }

    void lineFaultKnobs_data()
    {
        QTest::addColumn<QString>("knob");
        QTest::addColumn<bool>("isFrame");
        QTest::addColumn<QByteArray>("carried");
        const QByteArray first("#ABC\x01", 5);
        QTest::newRow("no fault") << "" << true << first + "#XYZ\x02";
        QTest::newRow("dropped") << "drop" << true << QByteArray("#XYZ\x02");
        QTest::newRow("checksum flipped on a frame") << "corrupt" << true
                                                     << QByteArray("#ABC\xFE", 5) + "#XYZ\x02";
        QTest::newRow("text replies keep their last byte") << "corrupt" << false
                                                           << first + "#XYZ\x02";
        QTest::newRow("the previous frame again") << "repeat" << true << first + first;
        QTest::newRow("doubled") << "duplicate" << true << first + first + "#XYZ\x02";
    }

    // Two replies through the line with one knob turned for one reply.
    void lineFaultKnobs()
    {
        QFETCH(QString, knob);
        QFETCH(bool, isFrame);
        QFETCH(QByteArray, carried);
        TSimLine line;
        line.setBaudRate(0);
        if (knob == QLatin1String("drop"))
            line.dropReplies(1);
        else if (knob == QLatin1String("corrupt"))
            line.corruptChecksums(1);
        else if (knob == QLatin1String("duplicate"))
            line.duplicateReplies(1, 0);
        line.Send({TSimBurst{QByteArray("#ABC\x01", 5), 0}}, isFrame);
        if (knob == QLatin1String("repeat"))
            line.repeatPreviousReplies(1);
        line.Send({TSimBurst{QByteArray("#XYZ\x02"), 0}}, isFrame);
        QCOMPARE(Carried(line), carried);
    }

    void lineBreaksAfterItsReplies()
    {
        TSimLine line;
        line.setBaudRate(0);
        QSignalSpy lost(&line, &TSimLine::lineLost);
        line.loseLineAfterReplies(1);
        line.Send({TSimBurst{QByteArray("one"), 0}}, false);
        QCOMPARE(lost.size(), 0);
        line.Send({TSimBurst{QByteArray("two"), 0}}, false);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(Carried(line), QByteArray("one"));
    }

    // The logger answers through its sink alone: a version frame as one
    // frame burst, the erase progress as four text bursts with pauses.
    void loggerAnswersWithoutALine()
    {
        TSimLogger logger(TSimLogger::Model::K803);
        QList<QPair<QList<TSimBurst>, bool>> replies;
        logger.Send = [&replies](const QList<TSimBurst> &bursts, bool isFrame) { replies.append({bursts, isFrame}); };
        logger.Receive(Frame(TBasicProtocol::CmdVersion, 0));
        QCOMPARE(replies.size(), 1);
        QVERIFY(replies.at(0).second);
        QCOMPARE(replies.at(0).first.size(), 1);
        const QByteArray version = replies.at(0).first.at(0).bytes;
        QVERIFY(TBasicProtocol().CheckFrame(version));
        QVERIFY(version.contains("K803"));
        QVERIFY(version.contains(logger.imei().toLatin1()));

        QVERIFY(logger.historyRecordCount() > 0);
        logger.Receive(Frame(TBasicProtocol::CmdClearHistory, 0));
        QCOMPARE(logger.historyRecordCount(), 0);
        QCOMPARE(replies.size(), 2);
        QVERIFY(!replies.at(1).second);
        QStringList steps;
        QList<int> pauses;
        for (const TSimBurst &burst : replies.at(1).first) {
            steps << QString::fromLatin1(burst.bytes);
            pauses << burst.quietMs;
        }
        QCOMPARE(steps, QStringList({"10", "35", "70", "100"}));
        QCOMPARE(pauses, QList<int>({0, 150, 150, 150}));
    }

    // A write goes into the logger's own memory and reads back from it.
    void loggerMemoryIsItsOwn()
    {
        TSimLogger logger(TSimLogger::Model::K801);
        int answers = 0;
        logger.Send = [&answers](const QList<TSimBurst> &, bool) { ++answers; };
        QByteArray page(256, 'z');
        logger.Receive(Frame(TBasicProtocol::CmdWriteMemory, 0x100, page));
        QCOMPARE(answers, 1);
        QCOMPARE(logger.readMemory(0x100), page);
        QCOMPARE(logger.configImage().mid(0x100, 256), page);
        QCOMPARE(logger.readMemory(0x2000), QByteArray(256, char(0xFF)));
    }
};

QTEST_GUILESS_MAIN(TestSimParts)
#include "tst_SimParts.moc"
