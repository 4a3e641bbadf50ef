// The archive window's fleet list worked out from an archive file: per
// device the last download, the record count, the last record's values and
// whether a reading of the last download was beyond its limits; and the
// line of one channel of a device for the overlay chart. Expected rows are
// written out by hand from the records stored below.

#include "config/ConfigImage_Unt.h"
#include "history/HistoryArchive_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "report/ArchiveFleet_Unt.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QString kCrossing = QStringLiteral("861000000000001");
const QString kWithin = QStringLiteral("861000000000002");
const QString kUnknown = QStringLiteral("861000000000003");

// A record at 2024-03-01 hour:minute with the values in tenths from slot 0 on
// (the other slots 0).
TArchivedRecord Record(int number, int hour, int minute, const QVector<qint16> &tenths)
{
    QByteArray raw(64, char(0));
    const char time[] = {24, 3, 1, char(hour), char(minute), 0};
    raw.replace(4, 6, QByteArray(time, 6));
    raw[10] = 25;
    for (int slot = 0; slot < tenths.size(); ++slot)
        qToLittleEndian<qint16>(tenths.at(slot), raw.data() + 12 + 2 * slot);
    return TArchivedRecord{number, raw};
}

// Temperature1 2.0 .. 8.0 °C, Humidity1 30.0 .. 70.0 %RH; no other limit.
QByteArray Limits()
{
    QByteArray image(ConfigMap::ImageSize, char(0xFF));
    image[ConfigMap::SensorNames] = 0;
    qToLittleEndian<qint16>(80, image.data() + ConfigMap::SensorHighThresholds);
    qToLittleEndian<qint16>(20, image.data() + ConfigMap::SensorLowThresholds);
    qToLittleEndian<qint16>(700, image.data() + ConfigMap::SensorHighThresholds + 2);
    qToLittleEndian<qint16>(300, image.data() + ConfigMap::SensorLowThresholds + 2);
    return image;
}

QDateTime At(int hour, int minute)
{
    return QDateTime(QDate(2024, 3, 1), QTime(hour, minute));
}

// kCrossing (K801): a first download at 09:00 of six records 08:00 .. 08:50
// whose 08:10 Temperature1 1.0 °C lies below its limit, then a download at
// 12:00 of 10:00 .. 10:30 with Temperature1 5.0, 9.0, 9.5, 6.0 °C: two
// readings above 8.0 in the last download.
// kWithin (K803): one download at 11:00 of three records within the limits.
// kUnknown (K801): stored at 13:15 without any download kept, so without limits.
void FillArchive(THistoryArchive &archive)
{
    QVector<TArchivedRecord> first;
    for (int minute = 0; minute < 60; minute += 10)
        first << Record(minute / 10 + 1, 8, minute, {qint16(minute == 10 ? 10 : 40), 500});
    QCOMPARE(archive.Store(kCrossing, QStringLiteral("K801"), first, At(9, 0)), 6);
    QVERIFY(archive.StoreDownload(kCrossing, Limits(), At(8, 59), At(9, 0)) > 0);
    const QVector<TArchivedRecord> second = {Record(7, 10, 0, {50, 500}), Record(8, 10, 10, {90, 500}),
                                             Record(9, 10, 20, {95, 500}), Record(10, 10, 30, {60, 500, -15})};
    QCOMPARE(archive.Store(kCrossing, QStringLiteral("K801"), second, At(12, 0)), 4);
    QVERIFY(archive.StoreDownload(kCrossing, Limits(), At(11, 59), At(12, 0)) > 0);

    const QVector<TArchivedRecord> within = {Record(1, 9, 0, {30}), Record(2, 9, 10, {80}),
                                             Record(3, 9, 20, {20, 0, 123, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -7})};
    QCOMPARE(archive.Store(kWithin, QStringLiteral("K803"), within, At(11, 0)), 3);
    QVERIFY(archive.StoreDownload(kWithin, Limits(), At(10, 59), At(11, 0)) > 0);

    QCOMPARE(archive.Store(kUnknown, QStringLiteral("K801"), {Record(1, 13, 0, {999, 1000})}, At(13, 15)), 1);
}

} // namespace

class TestArchiveFleet : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_folder.isValid());
        m_archive.reset(new THistoryArchive(m_folder.filePath(QStringLiteral("archive-%1.sqlite").arg(++m_files))));
        QCOMPARE(m_archive->Open(), THistoryArchive::TStatus::Ready);
        FillArchive(*m_archive);
    }

    void cleanup() { m_archive.reset(); }

    void rows_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("imei");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("lastDownload");
        QTest::addColumn<int>("records");
        QTest::addColumn<QString>("valuesEnglish");
        QTest::addColumn<QString>("valuesChinese");
        QTest::addColumn<QString>("limitsEnglish");
        QTest::addColumn<QString>("limitsChinese");

        QTest::newRow("crossed in the last download only")
            << 0 << kCrossing << "K801" << "2024-03-01 12:00:00" << 10
            << "Temperature1: 6.0 °C, Humidity1: 50.0 %RH, Temperature2: -1.5 °C, Humidity2: 0.0 %RH, "
               "Temperature3: 0.0 °C, Humidity3: 0.0 %RH, Temperature4: 0.0 °C, Humidity4: 0.0 %RH"
            << "温度1: 6.0 °C, 湿度1: 50.0 %RH, 温度2: -1.5 °C, 湿度2: 0.0 %RH, "
               "温度3: 0.0 °C, 湿度3: 0.0 %RH, 温度4: 0.0 °C, 湿度4: 0.0 %RH"
            << "limits crossed (2 readings)" << "超限（2个读数）";
        QTest::newRow("within")
            << 1 << kWithin << "K803" << "2024-03-01 11:00:00" << 3
            << "Temperature1: 2.0 °C, Temperature2: 12.3 °C, Temperature3: 0.0 °C, Temperature4: 0.0 °C, "
               "Temperature5: 0.0 °C, Temperature6: 0.0 °C, Temperature7: 0.0 °C, Temperature8: -0.7 °C"
            << "温度1: 2.0 °C, 温度2: 12.3 °C, 温度3: 0.0 °C, 温度4: 0.0 °C, "
               "温度5: 0.0 °C, 温度6: 0.0 °C, 温度7: 0.0 °C, 温度8: -0.7 °C"
            << "within limits" << "未超限";
        QTest::newRow("no configuration archived")
            << 2 << kUnknown << "K801" << "2024-03-01 13:15:00" << 1
            << "Temperature1: 99.9 °C, Humidity1: 100.0 %RH, Temperature2: 0.0 °C, Humidity2: 0.0 %RH, "
               "Temperature3: 0.0 °C, Humidity3: 0.0 %RH, Temperature4: 0.0 °C, Humidity4: 0.0 %RH"
            << "温度1: 99.9 °C, 湿度1: 100.0 %RH, 温度2: 0.0 °C, 湿度2: 0.0 %RH, "
               "温度3: 0.0 °C, 湿度3: 0.0 %RH, 温度4: 0.0 °C, 湿度4: 0.0 %RH"
            << "limits unknown" << "限值未知";
    }

    void rows()
    {
        QFETCH(int, row);
        const QVector<TFleetRow> rows = ArchiveFleet::Rows(*m_archive);
        QCOMPARE(rows.size(), 3);
        const TFleetRow &fleet = rows.at(row);
        QTEST(fleet.imei, "imei");
        QTEST(fleet.model, "model");
        QTEST(fleet.LastDownloadText(), "lastDownload");
        QTEST(fleet.records, "records");
        QTEST(fleet.ValuesText(ConstLang::English), "valuesEnglish");
        QTEST(fleet.ValuesText(ConstLang::Chinese), "valuesChinese");
        QTEST(fleet.LimitsText(ConstLang::English), "limitsEnglish");
        QTEST(fleet.LimitsText(ConstLang::Chinese), "limitsChinese");
    }

    // The last download has no configuration of its own: the limits of the
    // download before do not stand in for it.
    void lastDownloadWithoutConfiguration()
    {
        QCOMPARE(m_archive->Store(kCrossing, QStringLiteral("K801"), {Record(11, 14, 0, {99, 500})}, At(15, 0)), 1);
        QVERIFY(m_archive->StoreDownload(kCrossing, QByteArray(), QDateTime(), At(15, 0)) > 0);
        const TFleetRow row = ArchiveFleet::Rows(*m_archive).at(0);
        QCOMPARE(row.LastDownloadText(), QStringLiteral("2024-03-01 15:00:00"));
        QCOMPARE(row.records, 11);
        QCOMPARE(row.limits, TFleetRow::TLimits::Unknown);
        QCOMPARE(row.LimitsText(ConstLang::English), QStringLiteral("limits unknown"));
    }

    void channelSlot_data()
    {
        QTest::addColumn<int>("modelIndex");
        QTest::addColumn<bool>("humidity");
        QTest::addColumn<int>("number");
        QTest::addColumn<int>("slot");
        QTest::newRow("K801 Temperature1") << 0 << false << 1 << 0;
        QTest::newRow("K801 Humidity4") << 0 << true << 4 << 7;
        QTest::newRow("K801 has no Temperature5") << 0 << false << 5 << -1;
        QTest::newRow("K802 Humidity8") << 1 << true << 8 << 15;
        QTest::newRow("K803 Temperature8") << 2 << false << 8 << 14;
        QTest::newRow("K803 has no humidity") << 2 << true << 1 << -1;
        QTest::newRow("unknown model") << -1 << false << 1 << -1;
    }

    void channelSlot()
    {
        QFETCH(int, modelIndex);
        QFETCH(bool, humidity);
        QFETCH(int, number);
        QTEST(ArchiveFleet::ChannelSlot(modelIndex, humidity, number), "slot");
    }

    void channelLine_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("limit");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QVector<double>>("values");
        QTest::newRow("Temperature1, all") << 0 << 20000 << false
                                           << QVector<double>{4.0, 1.0, 4.0, 4.0, 4.0, 4.0, 5.0, 9.0, 9.5, 6.0};
        QTest::newRow("Humidity1, the latest 3") << 1 << 3 << true << QVector<double>{50.0, 50.0, 50.0};
        QTest::newRow("Temperature2, latest 1") << 2 << 1 << true << QVector<double>{-1.5};
    }

    void channelLine()
    {
        QFETCH(int, slot);
        QFETCH(int, limit);
        QFETCH(QVector<double>, values);
        const ArchiveFleet::TOverlayLine line = ArchiveFleet::ChannelLine(*m_archive, kCrossing, 0, slot, limit);
        QCOMPARE(line.imei, kCrossing);
        QTEST(line.cut, "cut");
        QCOMPARE(line.points.size(), values.size());
        for (int index = 0; index < values.size(); ++index)
            QCOMPARE(line.points.at(index).y(), values.at(index));
        // The last point is the 10:30 record, in local time.
        QCOMPARE(qint64(line.points.last().x()), At(10, 30).toMSecsSinceEpoch());
    }

private:
    QTemporaryDir m_folder;
    int m_files = 0;
    std::unique_ptr<THistoryArchive> m_archive;
};

QTEST_GUILESS_MAIN(TestArchiveFleet)
#include "tst_ArchiveFleet.moc"
