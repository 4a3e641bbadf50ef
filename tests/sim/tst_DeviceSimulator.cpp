#include "sim/DeviceSimulator_Unt.h"

#include "link/BasicProtocol_Unt.h"
#include "link/DiDoThProtocol_Unt.h"
#include "link/HistoryProtocol_Unt.h"
#include "link/MasterProtocol_Unt.h"
#include "link/PasswordProtocol_Unt.h"
#include "link/SendHandle_Unt.h"
#include "link/SyncTimeProtocol_Unt.h"
#include "link/VersionProtocol_Unt.h"

#include <QElapsedTimer>
#include <QTest>

using Model = TDeviceSimulator::Model;
Q_DECLARE_METATYPE(TDeviceSimulator::Model)

namespace {

constexpr qint64 MsNs = 1000000;

QByteArray PasswordRequest(const QString &password)
{
    TPasswordProtocol protocol;
    protocol.SetPasswordText(password);
    return protocol.PasswordRequest();
}

QByteArray SetClockRequest(quint8 year, quint8 month, quint8 day, quint8 hour, quint8 minute)
{
    TSyncTimeProtocol protocol;
    protocol.SetClock(year, month, day, hour, minute);
    return protocol.SetClockRequest();
}

QByteArray Line(const char *prefix, const char *keyword)
{
    return TSendHandle::TextCommand(QString::fromLatin1(prefix), keyword);
}

qint16 S16At(const QByteArray &bytes, int offset)
{
    return qint16(quint8(bytes.at(offset)) | (quint8(bytes.at(offset + 1)) << 8));
}

quint16 U16At(const QByteArray &bytes, int offset)
{
    return quint16(S16At(bytes, offset));
}

// The text of a fixed-size field: up to its first 0x00.
QByteArray TextAt(const QByteArray &bytes, int offset, int size)
{
    const QByteArray field = bytes.mid(offset, size);
    const int end = field.indexOf('\0');
    return end < 0 ? field : field.left(end);
}

bool LuhnValid(const QString &digits)
{
    int sum = 0;
    for (int index = 0; index < digits.size(); ++index) {
        int digit = digits.at(digits.size() - 1 - index).digitValue();
        if (digit < 0)
            return false;
        if (index % 2 == 1) {
            digit *= 2;
            if (digit > 9)
                digit -= 9;
        }
        sum += digit;
    }
    return sum % 10 == 0;
}

QList<int> UsedSlots(Model model)
{
    QList<int> usedSlots;
    for (int slot = 0; slot < 16; ++slot) {
        if ((model == Model::K801 && slot < 8) || model == Model::K802
            || (model == Model::K803 && slot % 2 == 0))
            usedSlots.append(slot);
    }
    return usedSlots;
}

// Whether a sensor value in tenths is plausible for its slot: temperatures
// (even slots) about 20-25 °C, humidities (odd slots) about 40-70 %.
bool Plausible(int slot, qint16 tenths)
{
    return slot % 2 == 0 ? tenths >= 195 && tenths <= 255 : tenths >= 395 && tenths <= 705;
}

// Everything the device sends, slice by slice, with the moment each arrived.
class TLineTap
{
public:
    struct Slice
    {
        qint64 atNs;
        QByteArray bytes;
    };

    explicit TLineTap(TDeviceSimulator &device)
    {
        m_timer.start();
        QObject::connect(&device, &TDeviceSimulator::BytesToHost, &m_context,
                         [this](const QByteArray &bytes) {
                             m_slices.append({m_timer.nsecsElapsed(), bytes});
                             m_bytes.append(bytes);
                         });
    }

    qint64 nowNs() const { return m_timer.nsecsElapsed(); }
    const QByteArray &bytes() const { return m_bytes; }
    const QList<Slice> &slices() const { return m_slices; }

    bool waitForBytes(int count, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return m_bytes.size() >= count; }, timeoutMs);
    }

    // Waits for one whole frame at the front of what arrived and takes it;
    // empty when none came.
    QByteArray takeFrame(int timeoutMs = 5000)
    {
        if (!waitForBytes(TBasicProtocol::HeadSize, timeoutMs))
            return {};
        const int length = quint8(m_bytes.at(6)) * 256 + quint8(m_bytes.at(7));
        if (!waitForBytes(TBasicProtocol::HeadSize + length + 1, timeoutMs))
            return {};
        const QByteArray frame = m_bytes.left(TBasicProtocol::HeadSize + length + 1);
        m_bytes.remove(0, frame.size());
        return frame;
    }

    // The arrived bytes split where the line was quiet for at least gapMs.
    QList<QByteArray> bursts(int gapMs) const
    {
        QList<QByteArray> result;
        qint64 lastNs = -1;
        for (const Slice &slice : m_slices) {
            if (result.isEmpty() || slice.atNs - lastNs >= gapMs * MsNs)
                result.append(QByteArray());
            result.last().append(slice.bytes);
            lastNs = slice.atNs;
        }
        return result;
    }

    qint64 maxGapNs(int fromSlice = 0) const
    {
        qint64 gap = 0;
        for (int index = fromSlice + 1; index < m_slices.size(); ++index)
            gap = qMax(gap, m_slices.at(index).atNs - m_slices.at(index - 1).atNs);
        return gap;
    }

    void clear()
    {
        m_bytes.clear();
        m_slices.clear();
    }

private:
    QObject m_context;
    QElapsedTimer m_timer;
    QByteArray m_bytes;
    QList<Slice> m_slices;
};

// A device that answers at once and fast, for checks of content.
void MakeQuick(TDeviceSimulator &device)
{
    device.setLatencyMs(0);
    device.setBaudRate(1000000);
}

bool Settled(TDeviceSimulator &device)
{
    return QTest::qWaitFor([&] { return !device.replyPending(); }, 5000);
}

// The reply a fresh, untouched device gives to a request.
QByteArray ReferenceReply(const QByteArray &request, Model model = Model::K802)
{
    TDeviceSimulator device(model);
    MakeQuick(device);
    TLineTap line(device);
    device.ReceiveFromHost(request);
    return line.takeFrame();
}

} // namespace

class TestDeviceSimulator : public QObject
{
    Q_OBJECT

private slots:
    void modelFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("known");
        QTest::addColumn<Model>("model");
        QTest::newRow("K801") << "K801" << true << Model::K801;
        QTest::newRow("lower case k803") << "k803" << true << Model::K803;
        QTest::newRow("blanks around") << " K802 " << true << Model::K802;
        QTest::newRow("K804") << "K804" << false << Model::K801;
        QTest::newRow("empty") << "" << false << Model::K801;
    }

    void modelFromText()
    {
        QFETCH(QString, text);
        QFETCH(bool, known);
        QFETCH(Model, model);
        Model parsed = Model::K801;
        QCOMPARE(TDeviceSimulator::ModelFromText(text, &parsed), known);
        QCOMPARE(parsed, model);
        if (known)
            QCOMPARE(TDeviceSimulator::ModelText(parsed), text.trimmed().toUpper());
    }

    // Request frame → reply frame: the reply echoes command and address and
    // carries the expected data (fixed bytes, or the log records listed).
    void frameReplies_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<QList<int>>("records");   // log record indexes, -1 erased

        const QByteArray factory = TDeviceSimulator::FactoryImage(Model::K802);
        const TBasicProtocol codec;
        const TMasterProtocol master;
        const THistoryProtocol history;

        QTest::newRow("password right") << PasswordRequest("5937") << QByteArray(1, '\1') << QList<int>();
        QTest::newRow("password wrong") << PasswordRequest("1234") << QByteArray(1, '\0') << QList<int>();
        QTest::newRow("password prefix only") << PasswordRequest("59") << QByteArray(1, '\0') << QList<int>();
        QTest::newRow("config page 0") << master.ConfigReadRequest(0) << factory.left(256) << QList<int>();
        QTest::newRow("config page 7") << master.ConfigReadRequest(7) << factory.mid(7 * 256, 256) << QList<int>();
        QTest::newRow("config page 14 ends the image")
            << master.ConfigReadRequest(14) << factory.mid(14 * 256) + QByteArray(194, char(0xFF)) << QList<int>();
        QTest::newRow("config page 15 is erased")
            << master.ConfigReadRequest(15) << QByteArray(256, char(0xFF)) << QList<int>();
        QTest::newRow("memory between image and log")
            << codec.BuildFrame(TBasicProtocol::CmdReadMemory, codec.IntToAddress(0x2000))
            << QByteArray(256, char(0xFF)) << QList<int>();
        QTest::newRow("clock write")
            << SetClockRequest(24, 5, 17, 13, 45) << QByteArray(1, '\1') << QList<int>();
        QTest::newRow("clock write with month 13 refused")
            << SetClockRequest(24, 13, 17, 13, 45) << QByteArray(1, '\0') << QList<int>();
        QTest::newRow("config write page 3 acknowledged")
            << master.ConfigWriteRequest(3, factory.mid(3 * 256, 256)) << QByteArray(1, '\1') << QList<int>();
        QTest::newRow("write into the log refused")
            << codec.BuildFrame(TBasicProtocol::CmdWriteMemory, codec.IntToAddress(0x4000), QByteArray(256, 'x'))
            << QByteArray(1, '\0') << QList<int>();
        QTest::newRow("history page 0")
            << history.HistoryPageRequest(0) << QByteArray() << QList<int>{0, 1, 2, 3};
        QTest::newRow("history page 1 runs past the log")
            << history.HistoryPageRequest(1) << QByteArray() << QList<int>{4, 5, -1, -1};
        QTest::newRow("history page 2 is erased")
            << history.HistoryPageRequest(2) << QByteArray() << QList<int>{-1, -1, -1, -1};
        QTest::newRow("history record 2")
            << history.HistoryRecordRequest(2) << QByteArray() << QList<int>{1};
        QTest::newRow("history record 6")
            << history.HistoryRecordRequest(6) << QByteArray() << QList<int>{5};
        QTest::newRow("history record 7 past the log")
            << history.HistoryRecordRequest(7) << QByteArray() << QList<int>{-1};
        // Record 5 lies on a page boundary, where a record read and a page
        // read are the same frame: the page comes back, record 5 first.
        QTest::newRow("history record 5 on a page boundary")
            << history.HistoryRecordRequest(5) << QByteArray() << QList<int>{4, 5, -1, -1};
    }

    void frameReplies()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, expected);
        QFETCH(QList<int>, records);

        TDeviceSimulator device(Model::K802);
        MakeQuick(device);
        device.setHistoryRecordCount(6, 300);
        for (int index : records)
            expected += device.historyRecord(index);
        TLineTap line(device);
        device.ReceiveFromHost(request);
        const QByteArray reply = line.takeFrame();

        const TBasicProtocol codec;
        QVERIFY(codec.CheckFrame(reply));
        QCOMPARE(reply.size(), expected.size() + 9);
        QCOMPARE(reply.mid(1, 5), request.mid(1, 5));
        QCOMPARE(codec.GetData(reply), expected);
        QVERIFY(Settled(device));
        QCOMPARE(line.bytes(), QByteArray());
    }

    void versionReply_data()
    {
        QTest::addColumn<Model>("model");
        QTest::newRow("K801") << Model::K801;
        QTest::newRow("K802") << Model::K802;
        QTest::newRow("K803") << Model::K803;
    }

    void versionReply()
    {
        QFETCH(Model, model);
        TDeviceSimulator device(model);
        MakeQuick(device);
        TLineTap line(device);
        const TVersionProtocol version;

        QSet<QString> signalValues;
        for (int attempt = 0; attempt < 12; ++attempt) {
            device.ReceiveFromHost(version.VersionRequest());
            const QByteArray reply = line.takeFrame();
            QCOMPARE(TBasicProtocol().GetData(reply).size(), 33);
            QCOMPARE(version.ReplyModel(reply), TDeviceSimulator::ModelText(model));
            QCOMPARE(version.ReplyVersion(reply), QStringLiteral("V1.08"));
            const QString imei = version.ReplyIMEI(reply);
            QCOMPARE(imei.size(), 15);
            QVERIFY2(LuhnValid(imei), qPrintable(imei));
            QCOMPARE(TBasicProtocol().GetData(reply).at(31), '\0');
            bool ok = false;
            const int signal = version.ReplySignal(reply).toInt(&ok);
            QVERIFY(ok);
            QVERIFY2(signal >= 18 && signal <= 31, qPrintable(QString::number(signal)));
            signalValues.insert(version.ReplySignal(reply));
        }
        QVERIFY2(signalValues.size() > 1, "the signal value never changes");
    }

    void clockReadFollowsWrite()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const TSyncTimeProtocol clock;
        const TBasicProtocol codec;

        const QDateTime before = QDateTime::currentDateTime();
        device.ReceiveFromHost(clock.ReadClockRequest());
        QByteArray data = codec.GetData(line.takeFrame());
        QCOMPARE(data.size(), 6);
        const QDateTime read(QDate(2000 + data.at(0), data.at(1), data.at(2)),
                             QTime(data.at(3), data.at(4), data.at(5)));
        QVERIFY2(qAbs(read.secsTo(before)) <= 2, qPrintable(read.toString(Qt::ISODate)));

        device.ReceiveFromHost(SetClockRequest(24, 5, 17, 13, 45));
        QCOMPARE(codec.GetData(line.takeFrame()), QByteArray(1, '\1'));
        device.ReceiveFromHost(clock.ReadClockRequest());
        data = codec.GetData(line.takeFrame());
        QCOMPARE(data.left(5), QByteArray::fromHex("180511" "0d2d"));
        QVERIFY(quint8(data.at(5)) <= 2);
        QCOMPARE(device.deviceClock().date(), QDate(2024, 5, 17));

        // A refused setting leaves the clock where it was.
        device.ReceiveFromHost(SetClockRequest(24, 2, 30, 13, 45));
        QCOMPARE(codec.GetData(line.takeFrame()), QByteArray(1, '\0'));
        QCOMPARE(device.deviceClock().date(), QDate(2024, 5, 17));
    }

    void currentValues_data()
    {
        QTest::addColumn<Model>("model");
        QTest::newRow("K801 four pairs") << Model::K801;
        QTest::newRow("K802 eight pairs") << Model::K802;
        QTest::newRow("K803 eight temperatures") << Model::K803;
    }

    void currentValues()
    {
        QFETCH(Model, model);
        TDeviceSimulator device(model);
        MakeQuick(device);
        TLineTap line(device);
        device.ReceiveFromHost(TDiDoThProtocol().THValuesRequest());
        const QByteArray data = TBasicProtocol().GetData(line.takeFrame());
        QCOMPARE(data.size(), 33);
        const QList<int> used = UsedSlots(model);
        for (int slot = 0; slot < 16; ++slot) {
            const qint16 value = S16At(data, 2 * slot);
            if (used.contains(slot))
                QVERIFY2(Plausible(slot, value), qPrintable(QStringLiteral("slot %1: %2").arg(slot).arg(value)));
            else
                QCOMPARE(value, qint16(0));
        }
        QCOMPARE(quint8(data.at(32)), quint8(0));
    }

    void relaysFollowTextLines_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("bits");

        QTest::newRow("DOC1 closes DO1") << "5937" << Line("5937", "DOC1") << 0x01;
        QTest::newRow("DOC2 closes DO2") << "5937" << Line("5937", "DOC2") << 0x02;
        QTest::newRow("both closed, DO1 opened again")
            << "5937" << Line("5937", "DOC1") + Line("5937", "DOC2") + Line("5937", "DOO1") << 0x02;
        QTest::newRow("DO2 closed and opened")
            << "5937" << Line("5937", "DOC2") + Line("5937", "DOO2") << 0x00;
        QTest::newRow("wrong prefix ignored") << "5937" << Line("1234", "DOC1") << 0x00;
        QTest::newRow("no prefix ignored") << "5937" << Line("", "DOC1") << 0x00;
        QTest::newRow("lower-case keyword ignored") << "5937" << Line("5937", "doc1") << 0x00;
        QTest::newRow("noise before the line")
            << "5937" << QByteArray("\x00\xFF\x01", 3) + Line("5937", "DOC1") << 0x01;
        QTest::newRow("default prefix on a changed password ignored")
            << "2468" << Line("5937", "DOC1") << 0x00;
        QTest::newRow("device password as prefix") << "2468" << Line("2468", "DOC2") << 0x02;
    }

    void relaysFollowTextLines()
    {
        QFETCH(QString, password);
        QFETCH(QByteArray, lines);
        QFETCH(int, bits);

        TDeviceSimulator device;
        MakeQuick(device);
        device.setPassword(password);
        TLineTap line(device);
        device.ReceiveFromHost(lines);
        QVERIFY2(!device.replyPending(), "a relay line was answered");
        QCOMPARE(int(device.relayBits()), bits);

        device.ReceiveFromHost(TDiDoThProtocol().DOStateRequest());
        const QByteArray data = TBasicProtocol().GetData(line.takeFrame());
        QCOMPARE(int(quint8(data.at(32))), bits);
    }

    void factoryImage_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<QList<int>>("usedSlots");
        QTest::newRow("K801") << Model::K801 << UsedSlots(Model::K801);
        QTest::newRow("K802") << Model::K802 << UsedSlots(Model::K802);
        QTest::newRow("K803") << Model::K803 << UsedSlots(Model::K803);
    }

    void factoryImage()
    {
        QFETCH(Model, model);
        QFETCH(QList<int>, usedSlots);
        const QByteArray image = TDeviceSimulator::FactoryImage(model);
        QCOMPARE(image.size(), TDeviceSimulator::ImageSize);

        QCOMPARE(image.left(4), QByteArray("5937"));
        QCOMPARE(U16At(image, 4), quint16(1));
        QVERIFY(TextAt(image, 34, 60).startsWith(TDeviceSimulator::ModelText(model).toLatin1()));
        QCOMPARE(TextAt(image, 102, 22), QByteArray("+8613800138000"));
        QCOMPARE(U16At(image, 322), quint16(0x02FF));
        QCOMPARE(TextAt(image, 342, 40), QByteArray("DOUT1"));
        QCOMPARE(TextAt(image, 342 + 164, 40), QByteArray("DOUT2"));
        QCOMPARE(quint8(image.at(342 + 42)), quint8(64));
        QCOMPARE(image.mid(670, 4), QByteArray::fromHex("0f080002"));
        QCOMPARE(quint8(image.at(670 + 4 * 9)) & 0x80, 0x80);
        QCOMPARE(TextAt(image, 712, 32), QByteArray("iot.example.com"));
        QCOMPARE(U16At(image, 744), quint16(5000));
        QCOMPARE(U16At(image, 3446), quint16(600));
        QCOMPARE(TextAt(image, 3448, 40), QByteArray("CMNET"));
        QCOMPARE(image.mid(3620, quint8(image.at(3640))), QByteArray("ACK"));
        QCOMPARE(quint8(image.at(3619)), quint8(0));
        QCOMPARE(image.mid(3568, quint8(image.at(3618))), TDeviceSimulator::ModelText(model).toLatin1() + "-0001");
        for (int slot = 0; slot < 16; ++slot) {
            const QByteArray name = TextAt(image, 772 + 40 * slot, 40);
            if (!usedSlots.contains(slot)) {
                QCOMPARE(image.mid(772 + 40 * slot, 40), QByteArray(40, char(0xFF)));
                QCOMPARE(quint8(image.at(3364 + slot)), quint8(0xFF));
                continue;
            }
            const QByteArray kind = slot % 2 ? "Humidity" : "Temperature";
            QCOMPARE(name, kind + QByteArray::number(slot / 2 + 1));
            QCOMPARE(quint8(image.at(3364 + slot)) & 0x01, 0x01);
            const qint16 high = S16At(image, 3380 + 2 * slot);
            const qint16 low = S16At(image, 3412 + 2 * slot);
            QVERIFY2(low < high, qPrintable(QStringLiteral("slot %1").arg(slot)));
        }
        if (model == Model::K803)
            QCOMPARE(S16At(image, 3412), qint16(-200));
    }

    void configWriteReadRoundTrip()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const TMasterProtocol master;

        QByteArray image = TDeviceSimulator::FactoryImage(Model::K802);
        image.replace(0, 4, "2468");
        image[4] = char(0x92);
        image[5] = char(0x10);
        image.replace(34, 12, QByteArray("Cold store 3"));
        for (int offset = 3600; offset < TDeviceSimulator::ImageSize; ++offset)
            image[offset] = char(offset & 0xFF);

        // As the tool writes: 16 pages, the last ones padded with 0xFF.
        for (int page = 0; page <= 15; ++page) {
            device.ReceiveFromHost(master.ConfigWriteRequest(quint8(page),
                                                             master.FillPage(master.SlicePack(image, page, 256), 0xFF)));
            QCOMPARE(TBasicProtocol().GetData(line.takeFrame()), QByteArray(1, '\1'));
        }
        QCOMPARE(device.configImage(), image);
        QCOMPARE(device.password(), QStringLiteral("2468"));

        QByteArray readBack;
        for (int page = 0; page < 15; ++page) {
            device.ReceiveFromHost(master.ConfigReadRequest(quint8(page)));
            readBack += TBasicProtocol().GetData(line.takeFrame());
        }
        QCOMPARE(readBack.size(), 15 * 256);
        QCOMPARE(readBack.left(TDeviceSimulator::ImageSize), image);

        // The written password is the one the device checks now.
        const TPasswordProtocol check;
        device.ReceiveFromHost(PasswordRequest("5937"));
        QVERIFY(!check.PasswordAccepted(line.takeFrame()));
        device.ReceiveFromHost(PasswordRequest("2468"));
        QVERIFY(check.PasswordAccepted(line.takeFrame()));
    }

    void resetRestoresFactoryImage()
    {
        TDeviceSimulator device(Model::K803);
        MakeQuick(device);
        TLineTap line(device);
        QByteArray changed = device.configImage();
        changed.replace(0, 4, "1111");
        changed.replace(712, 9, QByteArray("10.0.0.9\0", 9));
        device.setConfigImage(changed);

        device.ReceiveFromHost(Line("5937", "RESET"));
        QVERIFY2(!device.replyPending(), "RESET with a wrong password was answered");
        QCOMPARE(device.configImage(), changed);

        device.ReceiveFromHost(Line("1111", "RESET"));
        QVERIFY(line.waitForBytes(4));
        QVERIFY(Settled(device));
        QCOMPARE(line.bytes(), QByteArray("OK\r\n"));
        QCOMPARE(device.configImage(), TDeviceSimulator::FactoryImage(Model::K803));
        QCOMPARE(device.password(), QStringLiteral("5937"));
    }

    void rebootOpensRelaysAndKeepsSettings()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        device.setHistoryRecordCount(9);
        TLineTap line(device);
        device.ReceiveFromHost(Line("5937", "DOC1") + Line("5937", "DOC2"));
        QCOMPARE(int(device.relayBits()), 3);

        device.ReceiveFromHost(Line("1234", "REBOOT"));
        QCOMPARE(device.rebootCount(), 0);
        device.ReceiveFromHost(Line("5937", "REBOOT"));
        QVERIFY2(!device.replyPending(), "REBOOT was answered");
        QCOMPARE(device.rebootCount(), 1);
        QCOMPARE(int(device.relayBits()), 0);
        QCOMPARE(device.configImage(), TDeviceSimulator::FactoryImage(Model::K802));
        QCOMPARE(device.historyRecordCount(), 9);

        device.ReceiveFromHost(PasswordRequest("5937"));
        QVERIFY(TPasswordProtocol().PasswordAccepted(line.takeFrame()));
    }

    void historyLog_data()
    {
        QTest::addColumn<Model>("model");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("interval");
        QTest::newRow("K801 30 x 10 min") << Model::K801 << 30 << 600;
        QTest::newRow("K802 400 x 1 min") << Model::K802 << 400 << 60;
        QTest::newRow("K803 7 x 1 h") << Model::K803 << 7 << 3600;
    }

    void historyLog()
    {
        QFETCH(Model, model);
        QFETCH(int, count);
        QFETCH(int, interval);
        TDeviceSimulator device(model);
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        device.setHistoryRecordCount(count, interval);
        QCOMPARE(device.historyRecordCount(), count);

        const QList<int> used = UsedSlots(model);
        QDateTime previous;
        QSet<int> types;
        for (int index = 0; index < count; ++index) {
            const QByteArray record = device.historyRecord(index);
            QCOMPARE(record.size(), 64);
            QVERIFY(record.left(4) != QByteArray(4, char(0xFF)));
            const QDateTime when(QDate(2000 + quint8(record.at(4)), record.at(5), record.at(6)),
                                 QTime(record.at(7), record.at(8), record.at(9)));
            QVERIFY2(when.isValid(), qPrintable(QString::number(index)));
            if (previous.isValid())
                QCOMPARE(previous.secsTo(when), qint64(interval));
            previous = when;
            const int signal = quint8(record.at(10));
            QVERIFY(signal >= 18 && signal <= 31);
            QCOMPARE(quint8(record.at(11)) & 0x7C, 0);
            for (int slot = 0; slot < 16; ++slot) {
                const qint16 value = S16At(record, 12 + 2 * slot);
                if (used.contains(slot))
                    QVERIFY2(Plausible(slot, value), qPrintable(QStringLiteral("record %1 slot %2: %3")
                                                                    .arg(index).arg(slot).arg(value)));
                else
                    QCOMPARE(value, qint16(0));
            }
            const int type = quint8(record.at(44));
            QVERIFY(type <= 4);
            types.insert(type);
        }
        QVERIFY(previous >= before);
        QVERIFY(previous <= QDateTime::currentDateTime());
        if (count >= 100)
            QVERIFY2(types.size() >= 3, "the log holds only one or two kinds of record");
        QCOMPARE(device.historyRecord(count), QByteArray(64, char(0xFF)));
    }

    void historyLogBounds()
    {
        TDeviceSimulator device;
        // A new device comes with a log to read.
        QCOMPARE(device.historyRecordCount(), TDeviceSimulator::DefaultHistoryRecords);
        QVERIFY(device.readMemory(0x4000) != QByteArray(256, char(0xFF)));
        device.setHistoryRecordCount(TDeviceSimulator::MaxHistoryRecords + 5, 1);
        QCOMPARE(device.historyRecordCount(), TDeviceSimulator::MaxHistoryRecords);
        QCOMPARE(device.readMemory(0x4000 + 64 * (TDeviceSimulator::MaxHistoryRecords - 1)),
                 device.historyRecord(TDeviceSimulator::MaxHistoryRecords - 1));
        device.setHistoryRecordCount(-3);
        QCOMPARE(device.historyRecordCount(), 0);
        QCOMPARE(device.readMemory(0x4000), QByteArray(256, char(0xFF)));
    }

    void eraseReportsProgressAndEmptiesLog()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        device.setHistoryRecordCount(20);
        TLineTap line(device);
        device.ReceiveFromHost(THistoryProtocol().ClearHistoryRequest());
        QCOMPARE(device.historyRecordCount(), 0);
        QVERIFY(Settled(device));

        // Each burst is a chunk for the tool: digits only, rising, 100 last.
        const QList<QByteArray> bursts = line.bursts(100);
        QVERIFY2(bursts.size() >= 3, qPrintable(QString::number(bursts.size())));
        int previous = -1;
        for (const QByteArray &burst : bursts) {
            bool ok = false;
            const int percent = burst.toInt(&ok);
            QVERIFY2(ok, burst.constData());
            QVERIFY(percent > previous);
            previous = percent;
        }
        QCOMPARE(bursts.last(), QByteArray("100"));

        line.clear();
        device.ReceiveFromHost(THistoryProtocol().HistoryPageRequest(0));
        QCOMPARE(TBasicProtocol().GetData(line.takeFrame()), QByteArray(256, char(0xFF)));
    }

    void requestInPieces_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QList<int>>("cuts");
        const QByteArray password = PasswordRequest("5937");
        const QByteArray page = TMasterProtocol().ConfigReadRequest(9);
        const QByteArray write = TMasterProtocol().ConfigWriteRequest(2, QByteArray(256, '\x23'));
        QList<int> everyByte;
        for (int cut = 1; cut < password.size(); ++cut)
            everyByte.append(cut);
        QTest::newRow("password byte by byte") << password << everyByte;
        QTest::newRow("checksum alone") << page << QList<int>{8};
        QTest::newRow("head before the length") << page << QList<int>{3};
        QTest::newRow("page write in three") << write << QList<int>{8, 100, 264};
    }

    void requestInPieces()
    {
        QFETCH(QByteArray, request);
        QFETCH(QList<int>, cuts);
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        int from = 0;
        for (int cut : cuts) {
            device.ReceiveFromHost(request.mid(from, cut - from));
            QVERIFY2(!device.replyPending(), "answered before the request was complete");
            QTest::qWait(2);
            from = cut;
        }
        device.ReceiveFromHost(request.mid(from));
        QCOMPARE(line.takeFrame(), ReferenceReply(request));
        QCOMPARE(device.requestLog(), QVector<QByteArray>{request});
    }

    void textLineInPieces()
    {
        TDeviceSimulator device;
        const QByteArray line = Line("5937", "DOC2");
        for (char byte : line) {
            QCOMPARE(int(device.relayBits()), 0);
            device.ReceiveFromHost(QByteArray(1, byte));
        }
        QCOMPARE(int(device.relayBits()), 2);
        QCOMPARE(device.requestLog(), QVector<QByteArray>{line});
    }

    void junkAndBadFrames_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("replies");
        QTest::addColumn<int>("requests");
        const QByteArray good = PasswordRequest("5937");
        QByteArray badChecksum = good;
        badChecksum[badChecksum.size() - 1] = char(badChecksum.at(badChecksum.size() - 1) ^ 0x40);

        QTest::newRow("junk before a frame") << QByteArray("\x00\x11junk", 6) + good << 1 << 1;
        QTest::newRow("bad checksum alone") << badChecksum << 0 << 1;
        QTest::newRow("bad checksum, then a good frame") << badChecksum + good << 1 << 2;
        QTest::newRow("stray '#' with an impossible length")
            << QByteArray("#\x01\x00\x00\x00\x00\xFF\xFF", 8) + good << 1 << 1;
        QTest::newRow("a line of noise before a frame") << QByteArray("xyz\r\n") + good << 1 << 2;
        QTest::newRow("empty lines") << QByteArray("\r\n\r\n") + good << 1 << 1;
    }

    void junkAndBadFrames()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, replies);
        QFETCH(int, requests);
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        device.ReceiveFromHost(input);
        QVERIFY(Settled(device));
        QCOMPARE(line.bytes(), ReferenceReply(PasswordRequest("5937")).repeated(replies));
        QCOMPARE(device.requestLog().size(), requests);
    }

    void unfinishedRequestIsDroppedAfterSilence()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const QByteArray request = PasswordRequest("5937");
        device.ReceiveFromHost(request.left(5));
        QTest::qWait(TDeviceSimulator::InputIdleTimeoutMs + 150);
        device.ReceiveFromHost(request);
        QCOMPARE(line.takeFrame(), ReferenceReply(request));
    }

    void repliesQueueInOrder()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const QByteArray first = TMasterProtocol().ConfigReadRequest(1);
        const QByteArray second = PasswordRequest("0000");
        const QByteArray third = TMasterProtocol().ConfigReadRequest(2);
        device.ReceiveFromHost(first + second + third);
        QCOMPARE(line.takeFrame(), ReferenceReply(first));
        QCOMPARE(line.takeFrame(), ReferenceReply(second));
        QCOMPARE(line.takeFrame(), ReferenceReply(third));
    }

    // A 265-byte page reply is paced at the baud rate (10 bits a byte): it
    // cannot be complete before 265 byte times, and it arrives as one burst.
    void pacing_data()
    {
        QTest::addColumn<int>("baud");
        QTest::newRow("115200 baud") << 115200;
        QTest::newRow("9600 baud") << 9600;
    }

    void pacing()
    {
        QFETCH(int, baud);
        TDeviceSimulator device;
        device.setBaudRate(quint32(baud));
        device.setLatencyMs(0);
        TLineTap line(device);
        const qint64 sentNs = line.nowNs();
        device.ReceiveFromHost(TMasterProtocol().ConfigReadRequest(0));
        QCOMPARE(line.takeFrame().size(), 265);

        const qint64 byteNs = qint64(10) * 1000000000 / baud;
        const qint64 lastNs = line.slices().last().atNs;
        QVERIFY2(lastNs - sentNs >= 265 * byteNs - MsNs,
                 qPrintable(QStringLiteral("done after %1 us").arg((lastNs - sentNs) / 1000)));
        for (int index = 0, total = 0; index < line.slices().size(); ++index) {
            total += line.slices().at(index).bytes.size();
            QVERIFY2(line.slices().at(index).atNs - sentNs >= total * byteNs - MsNs, "bytes ahead of the line");
        }
        QVERIFY2(line.maxGapNs() < 100 * MsNs,
                 qPrintable(QStringLiteral("gap of %1 ms").arg(line.maxGapNs() / MsNs)));
    }

    // With the PC's bytes paced too, a request is taken only once its last
    // byte can have arrived, a second write waits for the first on the line,
    // and each reply starts no earlier than the device's latency after its
    // request is in.
    void hostBytesPacing_data()
    {
        QTest::addColumn<int>("baud");
        QTest::newRow("115200 baud") << 115200;
        QTest::newRow("9600 baud") << 9600;
    }

    void hostBytesPacing()
    {
        QFETCH(int, baud);
        TDeviceSimulator device;
        device.setBaudRate(quint32(baud));
        device.setLatencyMs(5);
        device.setPacesHostBytes(true);
        TLineTap line(device);
        QList<qint64> takenNs;
        QObject::connect(&device, &TDeviceSimulator::requestReceived, &device,
                         [&](const QByteArray &) { takenNs.append(line.nowNs()); });
        const QByteArray write = TMasterProtocol().ConfigWriteRequest(2, QByteArray(256, '\x23'));
        const QByteArray read = TMasterProtocol().ConfigReadRequest(2);
        QCOMPARE(write.size(), 265);
        const qint64 sentNs = line.nowNs();
        device.ReceiveFromHost(write);
        device.ReceiveFromHost(read);
        QVERIFY2(takenNs.isEmpty(), "a request was taken before its bytes were on the line");

        QVERIFY(!line.takeFrame().isEmpty());
        // The read follows the write it queued behind.
        QCOMPARE(line.takeFrame().mid(TBasicProtocol::HeadSize, 256), QByteArray(256, '\x23'));
        QCOMPARE(takenNs.size(), 2);
        const qint64 byteNs = qint64(10) * 1000000000 / baud;
        QVERIFY2(takenNs.at(0) - sentNs >= 265 * byteNs,
                 qPrintable(QStringLiteral("write taken after %1 us").arg((takenNs.at(0) - sentNs) / 1000)));
        QVERIFY2(takenNs.at(1) - sentNs >= (265 + 9) * byteNs,
                 qPrintable(QStringLiteral("read taken after %1 us").arg((takenNs.at(1) - sentNs) / 1000)));
        QVERIFY2(line.slices().first().atNs - sentNs >= 265 * byteNs + 5 * MsNs,
                 qPrintable(QStringLiteral("reply began after %1 us")
                                .arg((line.slices().first().atNs - sentNs) / 1000)));
    }

    void dropReplies()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const TMasterProtocol master;
        QByteArray page = TDeviceSimulator::FactoryImage(Model::K802).left(256);
        page.replace(0, 4, "8642");

        device.dropReplies(2);
        device.ReceiveFromHost(master.ConfigWriteRequest(0, page));
        device.ReceiveFromHost(Line("5937", "DOC1"));   // no reply of its own: not counted
        device.ReceiveFromHost(PasswordRequest("8642"));
        QVERIFY(!device.replyPending());
        // The unacknowledged write took place all the same.
        QCOMPARE(device.password(), QStringLiteral("8642"));

        device.ReceiveFromHost(PasswordRequest("8642"));
        QVERIFY(TPasswordProtocol().PasswordAccepted(line.takeFrame()));
        QVERIFY(Settled(device));
        QCOMPARE(line.bytes(), QByteArray());
        QCOMPARE(device.requestLog().size(), 4);
    }

    void corruptChecksums()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const QByteArray request = PasswordRequest("5937");
        const QByteArray good = ReferenceReply(request);

        device.corruptChecksums(1);
        device.ReceiveFromHost(THistoryProtocol().ClearHistoryRequest());
        QVERIFY(Settled(device));
        QVERIFY2(line.bytes().endsWith("100"), "the erase progress was touched");
        line.clear();

        device.ReceiveFromHost(request + request);
        const QByteArray first = line.takeFrame();
        QVERIFY(!TBasicProtocol().CheckFrame(first));
        QCOMPARE(first.chopped(1), good.chopped(1));
        QCOMPARE(line.takeFrame(), good);
    }

    void splitReplies()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const QByteArray request = TMasterProtocol().ConfigReadRequest(4);

        device.splitReplies(1, 200);
        device.ReceiveFromHost(request);
        QCOMPARE(line.takeFrame(), ReferenceReply(request));
        const QList<QByteArray> halves = line.bursts(200);
        QCOMPARE(halves.size(), 2);
        QCOMPARE(halves.at(0).size(), 265 / 2);

        line.clear();
        device.ReceiveFromHost(request);
        QCOMPARE(line.takeFrame(), ReferenceReply(request));
        QCOMPARE(line.bursts(100).size(), 1);
    }

    void delayReplies()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const QByteArray request = PasswordRequest("5937");

        device.delayReplies(1, 300);
        qint64 sentNs = line.nowNs();
        device.ReceiveFromHost(request);
        QCOMPARE(line.takeFrame(), ReferenceReply(request));
        QVERIFY2(line.slices().first().atNs - sentNs >= 300 * MsNs, "the delayed reply came early");

        line.clear();
        sentNs = line.nowNs();
        device.ReceiveFromHost(request);
        QCOMPARE(line.takeFrame(), ReferenceReply(request));
        QVERIFY2(line.slices().first().atNs - sentNs < 300 * MsNs, "the next reply was delayed too");
    }

    void sendGarbage()
    {
        TDeviceSimulator device;
        MakeQuick(device);
        TLineTap line(device);
        const QByteArray request = TMasterProtocol().ConfigReadRequest(0);
        const QByteArray garbage("\x55\xAA garbage", 10);

        device.ReceiveFromHost(request);
        device.sendGarbage(garbage);
        QVERIFY(line.waitForBytes(265 + garbage.size()));
        QVERIFY(Settled(device));
        // The reply on its way stays whole; the garbage follows it.
        QCOMPARE(line.bytes(), ReferenceReply(request) + garbage);
        QCOMPARE(device.requestLog().size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestDeviceSimulator)
#include "tst_DeviceSimulator.moc"
