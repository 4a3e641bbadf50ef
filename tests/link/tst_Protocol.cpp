#include "link/BasicProtocol_Unt.h"
#include "link/DiDoThProtocol_Unt.h"
#include "link/FrameLog_Unt.h"
#include "link/HistoryProtocol_Unt.h"
#include "link/MasterProtocol_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/SendHandle_Unt.h"
#include "link/SyncTimeProtocol_Unt.h"
#include "link/VersionProtocol_Unt.h"

#include <QSignalSpy>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A reply frame from the device with the given data.
QByteArray reply(quint8 command, const QByteArray &data)
{
    return TBasicProtocol().BuildFrame(command, {0, 0, 0, 0}, data);
}

} // namespace

class TestProtocol : public QObject
{
    Q_OBJECT

private slots:
    void requestFrames_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<QByteArray>("expected");

        QTest::newRow("read device clock")
            << TSyncTimeProtocol().ReadClockRequest() << hex("23 08 00 00 00 00 00 00 08");
        QTest::newRow("read version")
            << TVersionProtocol().VersionRequest() << hex("23 05 00 00 00 00 00 01 00 04");
        QTest::newRow("read current values")
            << TDiDoThProtocol().THValuesRequest() << hex("23 06 00 00 00 00 00 00 06");
        QTest::newRow("relay status is the same frame")
            << TDiDoThProtocol().DOStateRequest() << hex("23 06 00 00 00 00 00 00 06");
        QTest::newRow("clear history")
            << THistoryProtocol().ClearHistoryRequest() << hex("23 85 00 00 00 00 00 00 85");
        QTest::newRow("read configuration page 3")
            << TMasterProtocol().ConfigReadRequest(3) << hex("23 83 00 00 03 00 00 00 80");
        QTest::newRow("read history page 0")
            << THistoryProtocol().HistoryPageRequest(0) << hex("23 83 00 00 40 00 00 00 C3");
        QTest::newRow("read history page 5")
            << THistoryProtocol().HistoryPageRequest(5) << hex("23 83 00 00 45 00 00 00 C6");
        QTest::newRow("read history record 7")
            << THistoryProtocol().HistoryRecordRequest(7) << hex("23 83 00 00 41 80 00 00 42");

        TSyncTimeProtocol clock;
        clock.SetClock(24, 5, 17, 13, 45);
        QTest::newRow("set clock 2024-05-17 13:45")
            << clock.SetClockRequest() << hex("23 03 00 00 00 00 00 06 18 05 11 0D 2D 00 29");

        TPasswordProtocol twoChars;
        twoChars.SetPasswordText(QStringLiteral("59"));
        QByteArray twoCharsFrame = hex("23 01 00 00 00 00 00 04 35 39 00 00");
        twoCharsFrame.append(char(TBasicProtocol().GetCheckSum(twoCharsFrame.mid(1))));
        QTest::newRow("two-character password padded") << twoChars.PasswordRequest() << twoCharsFrame;

        TPasswordProtocol sixChars;
        sixChars.SetPasswordText(QStringLiteral("593712"));
        TPasswordProtocol fourChars;
        fourChars.SetPasswordText(QStringLiteral("5937"));
        QTest::newRow("six-character password sends four")
            << sixChars.PasswordRequest() << fourChars.PasswordRequest();
    }

    void requestFrames()
    {
        QFETCH(QByteArray, frame);
        QFETCH(QByteArray, expected);
        QCOMPARE(frame.toHex(' '), expected.toHex(' '));
        QVERIFY(TBasicProtocol().CheckFrame(frame));
    }

    void frameShapes()
    {
        const TBasicProtocol codec;
        const TDataPack empty = codec.BuildFrame(0x08, codec.IntToAddress(0));
        QCOMPARE(empty.size(), 9);
        QCOMPARE(codec.GetDataLength(empty), 0);

        const TDataPack write = TMasterProtocol().ConfigWriteRequest(15, QByteArray(256, 'x'));
        QCOMPARE(write.size(), 265);
        QCOMPARE(write.mid(2, 4), hex("00 00 0F 00"));
        QCOMPARE(write.mid(6, 2), hex("01 00"));
        QCOMPARE(codec.GetData(write), QByteArray(256, 'x'));
    }

    void checkFrame_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("whole"); // one complete frame, nothing more or less

        QTest::newRow("request echoed back") << hex("23 83 00 00 03 00 00 00 80") << true << true;
        QTest::newRow("bad checksum") << hex("23 83 00 00 03 00 00 00 81") << false << false;
        QTest::newRow("no start byte, right checksum") << hex("24 83 00 00 03 00 00 00 80") << false << false;
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("start byte only") << hex("23") << false << false;
        QTest::newRow("start byte and one byte") << hex("23 41") << true << false;
        QTest::newRow("version reply") << reply(5, QByteArray(33, 'a')) << true << true;
        QTest::newRow("length announces a byte that is missing")
            << hex("23 83 00 00 03 00 00 01 81") << true << false;
        QTest::newRow("page reply cut short") << reply(0x83, QByteArray(256, 'p')).left(200) << false << false;
    }

    void checkFrame()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QFETCH(bool, whole);
        QCOMPARE(TBasicProtocol().CheckFrame(bytes), valid);
        QCOMPARE(TBasicProtocol().IsWholeFrame(bytes), whole);
    }

    void getData_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("payload");

        QTest::newRow("frame without data") << hex("23 83 00 00 03 00 00 00 80") << QByteArray();
        QTest::newRow("eight bytes") << hex("23 83 00 00 03 00 00 05") << QByteArray();
        QTest::newRow("whole payload") << reply(8, hex("18 05 11 0D 2D 00")) << hex("18 05 11 0D 2D 00");
        QTest::newRow("over-announced: only what arrived")
            << hex("23 83 00 00 40 00 01 00 AA BB CC") << hex("AA BB CC");
        QTest::newRow("checksum byte not part of a short payload")
            << hex("23 06 00 00 00 00 00 02 01 02 07") << hex("01 02");
    }

    void getData()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, payload);
        QCOMPARE(TBasicProtocol().GetData(bytes), payload);
    }

    void slicePack_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("size");

        QTest::newRow("first page") << 0 << 256;
        QTest::newRow("page 13") << 13 << 256;
        QTest::newRow("page 14 is the 62-byte tail") << 14 << 62;
        QTest::newRow("page 15 is empty") << 15 << 0;
        QTest::newRow("page 40 is empty") << 40 << 0;
    }

    void slicePack()
    {
        QFETCH(int, index);
        QFETCH(int, size);
        QByteArray image(3646, '\0');
        for (int offset = 0; offset < image.size(); ++offset)
            image[offset] = char(offset * 7);
        const TBasicProtocol codec;
        const TDataPack slice = codec.SlicePack(image, index, 256);
        QCOMPARE(slice.size(), size);
        QCOMPARE(slice, image.mid(index * 256, size));

        const TDataPack page = codec.FillPage(slice, 0xFF);
        QCOMPARE(page.size(), 256);
        QCOMPARE(page.left(size), slice);
        QCOMPARE(page.mid(size), QByteArray(256 - size, char(0xFF)));
    }

    void versionReply_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("imei");
        QTest::addColumn<QString>("signal");

        QByteArray padded = QByteArray("K801") + QByteArray(4, '\0') + QByteArray("V1.08\0\0\0", 8)
            + QByteArray("861234567890123") + QByteArray(1, '\0') + QByteArray(1, char(200));
        QTest::newRow("fields ended by zero") << padded << "K801" << "V1.08" << "861234567890123"
                                              << "200";
        QByteArray full = QByteArray("K803ABCD") + QByteArray("12345678")
            + QByteArray("0123456789ABCDEF") + QByteArray(1, char(7));
        QTest::newRow("eight non-zero bytes") << full << "K803ABCD" << "12345678"
                                              << "0123456789ABCDEF" << "7";
        QTest::newRow("short reply keeps what it has")
            << QByteArray("K802") << "K802" << "" << "" << "";
    }

    void versionReply()
    {
        QFETCH(QByteArray, data);
        const QByteArray frame = reply(5, data);
        const TVersionProtocol version;
        QTEST(version.ReplyModel(frame), "model");
        QTEST(version.ReplyVersion(frame), "version");
        QTEST(version.ReplyIMEI(frame), "imei");
        QTEST(version.ReplySignal(frame), "signal");

        QByteArray broken = frame;
        broken[broken.size() - 1] = char(broken.at(broken.size() - 1) ^ 0x01);
        QCOMPARE(version.ReplyModel(broken), QString());
        QCOMPARE(version.ReplySignal(broken), QString());
    }

    void passwordReply_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("accepted") << reply(1, hex("01")) << true;
        QTest::newRow("any non-zero accepts") << reply(1, hex("7F 00")) << true;
        QTest::newRow("refused") << reply(1, hex("00")) << false;
        QTest::newRow("valid frame, no data") << reply(1, QByteArray()) << false;
        QByteArray corrupt = reply(1, hex("01"));
        corrupt[corrupt.size() - 1] = char(0);
        QTest::newRow("bad checksum") << corrupt << false;
    }

    void passwordReply()
    {
        QFETCH(QByteArray, bytes);
        QTEST(TPasswordProtocol().PasswordAccepted(bytes), "accepted");
    }

    void textCommands_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QByteArray>("keyword");
        QTest::addColumn<QByteArray>("line");

        QTest::newRow("relay open") << "5937" << QByteArray("DOO1") << QByteArray("5937DOO1\r\n");
        QTest::newRow("reboot with device password")
            << "1234" << QByteArray("REBOOT") << QByteArray("1234REBOOT\r\n");
        QTest::newRow("reset") << "5937" << QByteArray("RESET") << QByteArray("5937RESET\r\n");
    }

    void textCommands()
    {
        QFETCH(QString, prefix);
        QFETCH(QByteArray, keyword);
        QTEST(TSendHandle::TextCommand(prefix, keyword.constData()), "line");
    }

    void frameLogOnlyWhenEnabled()
    {
        TFrameLog &log = TFrameLog::instance();
        QSignalSpy spy(&log, &TFrameLog::frameLogged);
        const TBasicProtocol codec;
        log.setEnabled(false);
        codec.LogFrame(hex("23 08"), 0);
        QCOMPARE(spy.count(), 0);
        log.setEnabled(true);
        codec.LogFrame(hex("23 08"), 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toByteArray(), hex("23 08"));
        QCOMPARE(spy.at(0).at(1).toInt(), 1);
        log.setEnabled(false);
    }
};

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_Protocol.moc"
