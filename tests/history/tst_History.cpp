#include "base/GbkText_Unt.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryFilter_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/BasicProtocol_Unt.h"
#include "fixtures/ConversionRoutes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// One history record as the device stores it; unused bytes are 0xFF.
struct TRecordSpec
{
    quint8 year = 17, month = 6, day = 5, hour = 9, minute = 5, second = 0;
    quint8 signal = 25;
    quint8 flags = 0x81;
    quint8 type = 0;
    std::array<qint16, 16> values{};
};

QByteArray MakeRecord(const TRecordSpec &spec)
{
    QByteArray record(64, char(0xFF));
    record[0] = 0x01;
    record[1] = 0x00;
    record[2] = 0x00;
    record[3] = 0x00;
    record[4] = char(spec.year);
    record[5] = char(spec.month);
    record[6] = char(spec.day);
    record[7] = char(spec.hour);
    record[8] = char(spec.minute);
    record[9] = char(spec.second);
    record[10] = char(spec.signal);
    record[11] = char(spec.flags);
    for (int slot = 0; slot < 16; ++slot) {
        const quint16 raw = quint16(spec.values[std::size_t(slot)]);
        record[12 + 2 * slot] = char(raw & 0xFF);
        record[13 + 2 * slot] = char(raw >> 8);
    }
    record[44] = char(spec.type);
    return record;
}

QByteArray RecordWithSlot0(quint8 low, quint8 high)
{
    QByteArray record = MakeRecord({});
    record[12] = char(low);
    record[13] = char(high);
    return record;
}

QByteArray ErasedRecord()
{
    return QByteArray(64, char(0xFF));
}

// The reply the device sends for a memory read: a frame with the bytes as data.
QByteArray ReplyFrame(const QByteArray &payload, int page = 0)
{
    const TBasicProtocol codec;
    return codec.BuildFrame(TBasicProtocol::CmdReadMemory,
                            codec.IntToAddress(TBasicProtocol::HistoryPageAddress(page)), payload);
}

// Record n of a synthetic log: every field varies with n.
TRecordSpec NumberedRecord(int n)
{
    TRecordSpec spec;
    spec.year = quint8(17 + n % 5);
    spec.month = quint8(1 + n % 12);
    spec.day = quint8(1 + n % 28);
    spec.hour = quint8(n % 24);
    spec.minute = quint8(n % 60);
    spec.second = quint8((n * 7) % 60);
    spec.signal = quint8(n % 32);
    spec.flags = quint8(n % 256);
    spec.type = quint8(n % 8);
    for (int slot = 0; slot < 16; ++slot)
        spec.values[std::size_t(slot)] = qint16((n * 37 + slot * 11) % 2000 - 400);
    return spec;
}

// A grid set up as the window does it, for a model (-1: no version reply yet).
void SetUpGrid(THistoryGridModel &grid, TSoftHistory &soft, int modelIndex, int language = 1)
{
    soft.SetTexts(THistoryTexts::ForLanguage(language));
    soft.InitGrid(grid);
    soft.SetValueColumns(grid, modelIndex, language);
}

// Reads count records of a synthetic log into the grid page by page.
void FillGrid(THistoryGridModel &grid, TSoftHistory &soft, int modelIndex, int count)
{
    soft.BeginRead(grid);
    const int pages = TSoftHistory::PageCount(count);
    for (int page = 0; page < pages; ++page) {
        QByteArray payload;
        for (int slot = 0; slot < 4; ++slot)
            payload += MakeRecord(NumberedRecord(page * 4 + slot + 1));
        soft.ShowPage(grid, ReplyFrame(payload, page), count, modelIndex);
    }
}

// Every cell of the record rows, header row and number column included.
QVector<QStringList> Snapshot(const THistoryGridModel &grid)
{
    QVector<QStringList> rows;
    rows.reserve(grid.RowCount());
    for (int row = 0; row < grid.RowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid.ColCount(); ++column)
            cells << grid.Cell(column, row);
        rows << cells;
    }
    return rows;
}

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class tst_History : public QObject
{
    Q_OBJECT

private slots:
    // record decoding
    void recordCell_data();
    void recordCell();
    void valueColumnsPerModel_data();
    void valueColumnsPerModel();
    void emptyRecord_data();
    void emptyRecord();

    // reading rules
    void pageCount_data();
    void pageCount();
    void quantityFromText_data();
    void quantityFromText();
    void eraseProgress_data();
    void eraseProgress();

    // page and record decoding into the grid
    void pageStopsAtQuantity();
    void pageStopsAtEmptyRecord();
    void secondEmptyRecordStopsRead();
    void newReadStartsClean();
    void shortReply_data();
    void shortReply();
    void invalidFrameDecodesNothing_data();
    void invalidFrameDecodesNothing();
    void singleRecord_data();
    void singleRecord();

    // the grid
    void initGrid();
    void setValueColumns_data();
    void setValueColumns();
    void narrowerGridDropsCells();
    void clearDisplay();
    void tableModelView();

    // CSV
    void csvRoundTrip_data();
    void csvRoundTrip();
    void csvFileContent();
    void csvEmptyGridLines_data();
    void csvEmptyGridLines();
    void csvFileName_data();
    void csvFileName();
    void defaultFileName_data();
    void defaultFileName();
    void importFields_data();
    void importFields();
    void importStopsAtLastRow();
    void importFailureKeepsGrid_data();
    void importFailureKeepsGrid();
    void importRefusesBadFiles_data();
    void importRefusesBadFiles();
    void exportToMissingFolderFails();
    void failedExportKeepsOldFile();
    void cellWithCommaSurvivesRoundTrip();
    void csvOnEachConversionRoute_data();
    void csvOnEachConversionRoute();

    // date filter
    void recordTime_data();
    void recordTime();
    void filterRange_data();
    void filterRange();
    void filterBadDateStops_data();
    void filterBadDateStops();
    void rowsOutOfTimeOrder_data();
    void rowsOutOfTimeOrder();
    void importedHugeYearStopsSearch();
};

// ---- record decoding ----

void tst_History::recordCell_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("modelIndex");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("language");

    QTest::newRow("value FF FF is -0.1") << RecordWithSlot0(0xFF, 0xFF) << 0 << 8 << "-0.1" << 1;
    QTest::newRow("value 0A 01 is 26.6") << RecordWithSlot0(0x0A, 0x01) << 0 << 8 << "26.6" << 1;
    QTest::newRow("value 38 FF is -20.0") << RecordWithSlot0(0x38, 0xFF) << 0 << 8 << "-20.0" << 1;
    QTest::newRow("value 00 00 is 0.0") << RecordWithSlot0(0x00, 0x00) << 1 << 8 << "0.0" << 1;
    QTest::newRow("value -5 tenths is -0.5") << RecordWithSlot0(0xFB, 0xFF) << 1 << 8 << "-0.5" << 1;
    QTest::newRow("value 32767") << RecordWithSlot0(0xFF, 0x7F) << 1 << 8 << "3276.7" << 1;
    QTest::newRow("value -32768") << RecordWithSlot0(0x00, 0x80) << 1 << 8 << "-3276.8" << 1;

    const QByteArray dated = MakeRecord({});
    QTest::newRow("date 17/6/5") << dated << 0 << 1 << "17/6/5" << 1;
    QTest::newRow("time 9:5:0") << dated << 0 << 2 << "9:5:0" << 1;
    QTest::newRow("signal 25") << dated << 0 << 3 << "25" << 1;
    TRecordSpec late;
    late.year = 99; late.month = 12; late.day = 31; late.hour = 23; late.minute = 59;
    late.second = 59; late.signal = 255;
    QTest::newRow("date 99/12/31") << MakeRecord(late) << 0 << 1 << "99/12/31" << 1;
    QTest::newRow("time 23:59:59") << MakeRecord(late) << 0 << 2 << "23:59:59" << 1;
    QTest::newRow("signal 255 unsigned") << MakeRecord(late) << 0 << 3 << "255" << 1;

    TRecordSpec armed;
    armed.flags = 0x81;
    QTest::newRow("flags 0x81 armed") << MakeRecord(armed) << 0 << 4 << "Arm" << 1;
    QTest::newRow("flags 0x81 DO1 closed") << MakeRecord(armed) << 0 << 5 << "Close" << 1;
    QTest::newRow("flags 0x81 DO2 open") << MakeRecord(armed) << 0 << 6 << "Open" << 1;
    TRecordSpec disarmed;
    disarmed.flags = 0x02;
    QTest::newRow("flags 0x02 disarmed") << MakeRecord(disarmed) << 0 << 4 << "Disarm" << 1;
    QTest::newRow("flags 0x02 DO1 open") << MakeRecord(disarmed) << 0 << 5 << "Open" << 1;
    QTest::newRow("flags 0x02 DO2 closed") << MakeRecord(disarmed) << 0 << 6 << "Close" << 1;
    TRecordSpec otherBits;
    otherBits.flags = 0x7C;
    QTest::newRow("flags 0x7C other bits ignored") << MakeRecord(otherBits) << 0 << 4 << "Disarm" << 1;

    TRecordSpec relayType;
    relayType.type = 0x0B;
    QTest::newRow("type 0x0B relay switch") << MakeRecord(relayType) << 0 << 7 << "Relay Switch" << 1;
    TRecordSpec typeSeven;
    typeSeven.type = 0x07;
    QTest::newRow("type 7 interval") << MakeRecord(typeSeven) << 0 << 7 << "Interval" << 1;
    TRecordSpec typePower;
    typePower.type = 0xF6;
    QTest::newRow("type 0xF6 power") << MakeRecord(typePower) << 0 << 7 << "Power ON/OFF" << 1;
    TRecordSpec typeLow;
    typeLow.type = 0x05;
    QTest::newRow("type 5 low signal") << MakeRecord(typeLow) << 0 << 7 << "Low Singal" << 1;

    QTest::newRow("Chinese armed") << MakeRecord(armed) << 0 << 4 << "布防" << 0;
    QTest::newRow("Chinese DO1 closed") << MakeRecord(armed) << 0 << 5 << "闭合" << 0;
    QTest::newRow("Chinese DO2 open") << MakeRecord(armed) << 0 << 6 << "断开" << 0;
    QTest::newRow("Chinese disarmed") << MakeRecord(disarmed) << 0 << 4 << "撤防" << 0;
    QTest::newRow("Chinese type 0x0B") << MakeRecord(relayType) << 0 << 7 << "继电器变化" << 0;
    QTest::newRow("Chinese type 7") << MakeRecord(typeSeven) << 0 << 7 << "定时存贮" << 0;
}

void tst_History::recordCell()
{
    QFETCH(QByteArray, record);
    QFETCH(int, modelIndex);
    QFETCH(int, column);
    QFETCH(QString, expected);
    QFETCH(int, language);

    const QStringList cells =
        HistoryRecord::RowCells(record, modelIndex, THistoryTexts::ForLanguage(language));
    QVERIFY(column - 1 < cells.size());
    QCOMPARE(cells.at(column - 1), expected);

    // The same record through a page reply lands in row 1 of the grid.
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, modelIndex, language);
    soft.BeginRead(grid);
    const TSoftHistory::TPageResult result = soft.ShowPage(grid, ReplyFrame(record), 1, modelIndex);
    QCOMPARE(result.rowsFilled, 1);
    QCOMPARE(grid.Cell(column, 1), expected);
    QCOMPARE(grid.Cell(0, 1), QStringLiteral("1"));
}

void tst_History::valueColumnsPerModel_data()
{
    QTest::addColumn<int>("modelIndex");
    QTest::addColumn<QStringList>("values");

    // Slot k of the record holds 100 + k tenths.
    QTest::newRow("K801 slots 0..7")
        << 0 << QStringList{"10.0", "10.1", "10.2", "10.3", "10.4", "10.5", "10.6", "10.7"};
    QTest::newRow("K802 slots 0..15")
        << 1 << QStringList{"10.0", "10.1", "10.2", "10.3", "10.4", "10.5", "10.6", "10.7",
                            "10.8", "10.9", "11.0", "11.1", "11.2", "11.3", "11.4", "11.5"};
    QTest::newRow("K803 even slots only")
        << 2 << QStringList{"10.0", "10.2", "10.4", "10.6", "10.8", "11.0", "11.2", "11.4"};
    QTest::newRow("no model no values") << -1 << QStringList{};
    QTest::newRow("unknown model 3 no values") << 3 << QStringList{};
}

void tst_History::valueColumnsPerModel()
{
    QFETCH(int, modelIndex);
    QFETCH(QStringList, values);

    TRecordSpec spec;
    for (int slot = 0; slot < 16; ++slot)
        spec.values[std::size_t(slot)] = qint16(100 + slot);
    const QStringList cells =
        HistoryRecord::RowCells(MakeRecord(spec), modelIndex, THistoryTexts::ForLanguage(1));
    QCOMPARE(cells.mid(7), values);
    QCOMPARE(cells.size(), 7 + values.size());
}

void tst_History::emptyRecord_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<bool>("empty");

    QTest::newRow("erased") << ErasedRecord() << true;
    QByteArray yearOnly = MakeRecord({});
    yearOnly[4] = char(0xFF);
    QTest::newRow("year byte 0xFF") << yearOnly << true;
    QByteArray headOnly = MakeRecord({});
    headOnly[0] = headOnly[1] = headOnly[2] = headOnly[3] = char(0xFF);
    QTest::newRow("first four bytes 0xFF") << headOnly << true;
    QByteArray threeOfFour = MakeRecord({});
    threeOfFour[0] = threeOfFour[1] = threeOfFour[2] = char(0xFF);
    QTest::newRow("three of four bytes 0xFF") << threeOfFour << false;
    QByteArray year254 = MakeRecord({});
    year254[4] = char(0xFE);
    QTest::newRow("year 254") << year254 << false;
    QTest::newRow("all zero") << QByteArray(64, 0) << false;
    QTest::newRow("short record") << MakeRecord({}).left(63) << true;
}

void tst_History::emptyRecord()
{
    QFETCH(QByteArray, record);
    QFETCH(bool, empty);
    QCOMPARE(HistoryRecord::IsEmpty(record), empty);
}

// ---- reading rules ----

void tst_History::pageCount_data()
{
    QTest::addColumn<int>("quantity");
    QTest::addColumn<int>("pages");
    QTest::newRow("1") << 1 << 1;
    QTest::newRow("3") << 3 << 1;
    QTest::newRow("4") << 4 << 1;
    QTest::newRow("5") << 5 << 2;
    QTest::newRow("8") << 8 << 2;
    QTest::newRow("9") << 9 << 3;
    QTest::newRow("19999") << 19999 << 5000;
    QTest::newRow("20000") << 20000 << 5000;
}

void tst_History::pageCount()
{
    QFETCH(int, quantity);
    QFETCH(int, pages);
    QCOMPARE(TSoftHistory::PageCount(quantity), pages);
}

void tst_History::quantityFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("quantity");
    QTest::addColumn<bool>("valid");
    QTest::newRow("11") << "11" << 11 << true;
    QTest::newRow("abc counts as 1") << "abc" << 1 << true;
    QTest::newRow("empty counts as 1") << "" << 1 << true;
    QTest::newRow("20000") << "20000" << 20000 << true;
    QTest::newRow("0") << "0" << 0 << false;
    QTest::newRow("-3") << "-3" << -3 << false;
    QTest::newRow("20001") << "20001" << 20001 << false;
}

void tst_History::quantityFromText()
{
    QFETCH(QString, text);
    QFETCH(int, quantity);
    QFETCH(bool, valid);
    QCOMPARE(TSoftHistory::QuantityFromText(text), quantity);
    QCOMPARE(TSoftHistory::QuantityValid(TSoftHistory::QuantityFromText(text)), valid);
}

void tst_History::eraseProgress_data()
{
    QTest::addColumn<QList<QByteArray>>("chunks");
    QTest::addColumn<QList<int>>("positions");
    QTest::addColumn<int>("finishedAt");   // chunk index, -1 for never

    QTest::newRow("10, 50, 100 in three chunks")
        << QList<QByteArray>{"10", "50", "100"} << QList<int>{10, 50, 100} << 2;
    QTest::newRow("1 and 00 never reach 100")
        << QList<QByteArray>{"1", "00"} << QList<int>{1, 0} << -1;
    QTest::newRow("digits among other bytes")
        << QList<QByteArray>{QByteArray("\r\n3\0" "5%", 6), "erase 100 %\r\n"} << QList<int>{35, 100} << 1;
    QTest::newRow("no digits gives 0") << QList<QByteArray>{"OK\r\n"} << QList<int>{0} << -1;
    QTest::newRow("1000 passes 100 on its way")
        << QList<QByteArray>{QByteArray("1000")} << QList<int>{100} << 0;
    QTest::newRow("long digit run does not overflow")
        << QList<QByteArray>{QByteArray(40, '9')} << QList<int>{1000000} << -1;
}

void tst_History::eraseProgress()
{
    QFETCH(QList<QByteArray>, chunks);
    QFETCH(QList<int>, positions);
    QFETCH(int, finishedAt);

    for (int index = 0; index < chunks.size(); ++index) {
        const TSoftHistory::TEraseProgress progress = TSoftHistory::EraseProgressFromChunk(chunks.at(index));
        QCOMPARE(progress.position, positions.at(index));
        QCOMPARE(progress.finished, index == finishedAt);
    }
}

// ---- page and record decoding into the grid ----

void tst_History::pageStopsAtQuantity()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    soft.BeginRead(grid);

    QByteArray first, second;
    for (int n = 1; n <= 4; ++n)
        first += MakeRecord(NumberedRecord(n));
    for (int n = 5; n <= 8; ++n)
        second += MakeRecord(NumberedRecord(n));
    const TSoftHistory::TPageResult firstResult = soft.ShowPage(grid, ReplyFrame(first, 0), 6, 0);
    const TSoftHistory::TPageResult secondResult = soft.ShowPage(grid, ReplyFrame(second, 1), 6, 0);

    QCOMPARE(firstResult.recordsTaken, 4);
    QCOMPARE(secondResult.recordsTaken, 2);
    QCOMPARE(soft.RecordCounter(), 6);
    for (int row = 1; row <= 6; ++row) {
        const QString date = HistoryRecord::RowCells(MakeRecord(NumberedRecord(row)), 0,
                                                     soft.Texts()).first();
        QCOMPARE(grid.Cell(1, row), date);
        QCOMPARE(grid.Cell(0, row), QString::number(row));
    }
    QVERIFY(grid.RowFields(7).isEmpty());
    QCOMPARE(grid.LastFilledRow(), 6);
}

void tst_History::pageStopsAtEmptyRecord()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 1);
    soft.BeginRead(grid);

    const QByteArray page = MakeRecord(NumberedRecord(1)) + MakeRecord(NumberedRecord(2))
                            + ErasedRecord() + MakeRecord(NumberedRecord(4));
    const TSoftHistory::TPageResult result = soft.ShowPage(grid, ReplyFrame(page), 100, 1);

    QVERIFY(result.frameValid);
    QCOMPARE(result.rowsFilled, 2);
    QCOMPARE(result.recordsTaken, 3);
    QVERIFY(!result.stopRead);
    QCOMPARE(soft.EmptyRecordCount(), 1);
    QCOMPARE(grid.Cell(1, 1), QStringLiteral("18/2/2"));
    QCOMPARE(grid.Cell(1, 2), QStringLiteral("19/3/3"));
    QVERIFY(grid.RowFields(3).isEmpty());
    QVERIFY(grid.RowFields(4).isEmpty());
    // The empty record was counted: the next page goes on after it.
    soft.ShowPage(grid, ReplyFrame(MakeRecord(NumberedRecord(5)), 1), 100, 1);
    QCOMPARE(grid.Cell(1, 4), QStringLiteral("17/6/6"));
}

void tst_History::secondEmptyRecordStopsRead()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    soft.BeginRead(grid);

    const QByteArray firstPage = MakeRecord(NumberedRecord(1)) + ErasedRecord() + ErasedRecord()
                                 + ErasedRecord();
    QVERIFY(!soft.ShowPage(grid, ReplyFrame(firstPage, 0), 100, 0).stopRead);
    const TSoftHistory::TPageResult second =
        soft.ShowPage(grid, ReplyFrame(QByteArray(256, char(0xFF)), 1), 100, 0);
    QVERIFY(second.stopRead);
    QCOMPARE(second.rowsFilled, 0);
    QCOMPARE(soft.EmptyRecordCount(), 0);
}

void tst_History::newReadStartsClean()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    FillGrid(grid, soft, 0, 8);
    // The first read ends on one empty record.
    soft.ShowPage(grid, ReplyFrame(ErasedRecord(), 2), 100, 0);
    QCOMPARE(soft.EmptyRecordCount(), 1);

    soft.BeginRead(grid);
    QCOMPARE(soft.RecordCounter(), 0);
    QCOMPARE(soft.EmptyRecordCount(), 0);
    QCOMPARE(grid.LastFilledRow(), 0);

    // A new read of two records: the old rows 3 to 8 are gone, and its first
    // empty record does not end it.
    const QByteArray page = MakeRecord(NumberedRecord(40)) + ErasedRecord();
    const TSoftHistory::TPageResult result = soft.ShowPage(grid, ReplyFrame(page), 2, 0);
    QVERIFY(!result.stopRead);
    QCOMPARE(grid.LastFilledRow(), 1);
    QCOMPARE(grid.Cell(1, 1), QStringLiteral("17/5/13"));
}

void tst_History::shortReply_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("records");

    QByteArray fullPage;
    for (int n = 1; n <= 4; ++n)
        fullPage += MakeRecord(NumberedRecord(n));
    QTest::newRow("whole page") << ReplyFrame(fullPage) << 4;
    QTest::newRow("200 bytes hold three records") << ReplyFrame(fullPage.left(200)) << 3;
    QTest::newRow("128 bytes hold two records") << ReplyFrame(fullPage.left(128)) << 2;
    QTest::newRow("63 bytes hold none") << ReplyFrame(fullPage.left(63)) << 0;
    QTest::newRow("no data") << ReplyFrame(QByteArray()) << 0;
    QTest::newRow("more than a page decodes four")
        << ReplyFrame(fullPage + MakeRecord(NumberedRecord(5))) << 4;

    // The length field announces a page, but only 130 data bytes came; the
    // checksum fits the bytes that came.
    const TBasicProtocol codec;
    QByteArray cut = ReplyFrame(fullPage).left(8 + 130);
    cut.append(char(codec.GetCheckSum(cut.mid(1))));
    QTest::newRow("length says 256, 130 came") << cut << 2;
}

void tst_History::shortReply()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, records);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 1);
    soft.BeginRead(grid);
    const TSoftHistory::TPageResult result = soft.ShowPage(grid, frame, 100, 1);
    QVERIFY(result.frameValid);
    QCOMPARE(result.rowsFilled, records);
    QCOMPARE(result.recordsTaken, records);
    QCOMPARE(grid.LastFilledRow(), records);
    for (int row = 1; row <= records; ++row) {
        QCOMPARE(grid.RowFields(row),
                 HistoryRecord::RowCells(MakeRecord(NumberedRecord(row)), 1, soft.Texts()));
    }
}

void tst_History::invalidFrameDecodesNothing_data()
{
    QTest::addColumn<QByteArray>("frame");

    const QByteArray good = ReplyFrame(MakeRecord(NumberedRecord(9)).repeated(4));
    QByteArray badSum = good;
    badSum[badSum.size() - 1] = char(badSum.at(badSum.size() - 1) ^ 0x01);
    QTest::newRow("bad checksum") << badSum;
    QByteArray noStart = good;
    noStart[0] = 'X';
    QTest::newRow("no start byte") << noStart;
    QTest::newRow("first half of a split reply") << good.left(130);
    QTest::newRow("nothing") << QByteArray();
}

void tst_History::invalidFrameDecodesNothing()
{
    QFETCH(QByteArray, frame);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    FillGrid(grid, soft, 0, 4);
    const QVector<QStringList> before = Snapshot(grid);

    const TSoftHistory::TPageResult result = soft.ShowPage(grid, frame, 100, 0);
    QVERIFY(!result.frameValid);
    QCOMPARE(result.recordsTaken, 0);
    QCOMPARE(soft.RecordCounter(), 4);
    QVERIFY(Snapshot(grid) == before);
}

void tst_History::singleRecord_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("result");

    QTest::newRow("record") << ReplyFrame(MakeRecord(NumberedRecord(57))) << int(TSoftHistory::TRecordResult::Shown);
    QTest::newRow("erased record") << ReplyFrame(ErasedRecord()) << int(TSoftHistory::TRecordResult::Empty);
    QTest::newRow("40 bytes only") << ReplyFrame(MakeRecord(NumberedRecord(57)).left(40))
                                   << int(TSoftHistory::TRecordResult::Empty);
    QByteArray badSum = ReplyFrame(MakeRecord(NumberedRecord(57)));
    badSum[badSum.size() - 1] = char(badSum.at(badSum.size() - 1) ^ 0x80);
    QTest::newRow("bad checksum") << badSum << int(TSoftHistory::TRecordResult::InvalidFrame);
}

void tst_History::singleRecord()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, result);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 2);
    FillGrid(grid, soft, 2, 3);
    grid.ClearDisplay();
    const QVector<QStringList> before = Snapshot(grid);

    QCOMPARE(int(soft.ShowRecord(grid, frame, 57, 2)), result);
    if (result == int(TSoftHistory::TRecordResult::Shown)) {
        QCOMPARE(grid.Cell(0, 1), QStringLiteral("57"));
        QCOMPARE(grid.RowFields(1),
                 HistoryRecord::RowCells(MakeRecord(NumberedRecord(57)), 2, soft.Texts()));
        QCOMPARE(grid.LastFilledRow(), 1);
    } else {
        QVERIFY(Snapshot(grid) == before);
    }
}

// ---- the grid ----

void tst_History::initGrid()
{
    THistoryGridModel grid;
    QCOMPARE(grid.ColCount(), 320);
    QCOMPARE(grid.RowCount(), 20001);
    QCOMPARE(grid.Cell(0, 1), QString());

    TSoftHistory soft;
    soft.InitGrid(grid);
    const QStringList headers = {"序号", "日期", "时间", "信号", "状态", "继电器1", "继电器2", "类型",
                                 "温度1", "湿度1", "温度2", "湿度2", "温度3", "湿度3", "温度4", "湿度4"};
    for (int column = 0; column < headers.size(); ++column)
        QCOMPARE(grid.Cell(column, 0), headers.at(column));
    QCOMPARE(grid.Cell(16, 0), QString());
    QCOMPARE(grid.Cell(0, 1), QStringLiteral("1"));
    QCOMPARE(grid.Cell(0, 20000), QStringLiteral("20000"));
    QCOMPARE(grid.Cell(0, 20001), QString());
    QCOMPARE(grid.HeaderRowHeight(), 20);
    QCOMPARE(grid.ColumnWidth(0), 45);
    QCOMPARE(grid.ColumnWidth(1), 80);
    QCOMPARE(grid.ColumnWidth(2), 80);
    QCOMPARE(grid.ColumnWidth(3), -1);
    QCOMPARE(grid.ColumnWidth(7), 100);
    QCOMPARE(grid.LastFilledRow(), 0);
}

void tst_History::setValueColumns_data()
{
    QTest::addColumn<int>("modelIndex");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QStringList>("valueHeaders");

    QTest::newRow("K801 Chinese") << 0 << 0 << 16
        << QStringList{"温度1", "湿度1", "温度2", "湿度2", "温度3", "湿度3", "温度4", "湿度4"};
    QTest::newRow("K801 English") << 0 << 1 << 16
        << QStringList{"Temp1", "Hum1", "Temp2", "Hum2", "Temp3", "Hum3", "Temp4", "Hum4"};
    QTest::newRow("K802 English") << 1 << 1 << 24
        << QStringList{"Temp1", "Hum1", "Temp2", "Hum2", "Temp3", "Hum3", "Temp4", "Hum4",
                       "Temp5", "Hum5", "Temp6", "Hum6", "Temp7", "Hum7", "Temp8", "Hum8"};
    QTest::newRow("K803 Chinese") << 2 << 0 << 16
        << QStringList{"温度1", "温度2", "温度3", "温度4", "温度5", "温度6", "温度7", "温度8"};
    QTest::newRow("K803 English") << 2 << 1 << 16
        << QStringList{"Temp1", "Temp2", "Temp3", "Temp4", "Temp5", "Temp6", "Temp7", "Temp8"};
    // No model yet, or a language that is neither: the grid keeps what InitGrid gave.
    QTest::newRow("no model") << -1 << 1 << 320
        << QStringList{"温度1", "湿度1", "温度2", "湿度2", "温度3", "湿度3", "温度4", "湿度4"};
    QTest::newRow("language 2") << 1 << 2 << 320
        << QStringList{"温度1", "湿度1", "温度2", "湿度2", "温度3", "湿度3", "温度4", "湿度4"};
}

void tst_History::setValueColumns()
{
    QFETCH(int, modelIndex);
    QFETCH(int, language);
    QFETCH(int, columns);
    QFETCH(QStringList, valueHeaders);

    THistoryGridModel grid;
    TSoftHistory soft;
    soft.InitGrid(grid);
    soft.SetValueColumns(grid, modelIndex, language);
    QCOMPARE(grid.ColCount(), columns);
    QCOMPARE(grid.columnCount(), columns);
    for (int index = 0; index < valueHeaders.size(); ++index)
        QCOMPARE(grid.Cell(8 + index, 0), valueHeaders.at(index));
    QCOMPARE(grid.Cell(3, 0), QStringLiteral("信号"));
}

void tst_History::narrowerGridDropsCells()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 1);
    FillGrid(grid, soft, 1, 4);
    QCOMPARE(grid.RowFields(1).size(), 23);

    soft.SetValueColumns(grid, 0, 1);
    QCOMPARE(grid.RowFields(1).size(), 15);
    QCOMPARE(grid.Cell(16, 1), QString());
    soft.SetValueColumns(grid, 1, 1);
    QCOMPARE(grid.Cell(16, 1), QString());
    QCOMPARE(grid.Cell(15, 1), HistoryRecord::RowCells(MakeRecord(NumberedRecord(1)), 1, soft.Texts()).at(14));
}

void tst_History::clearDisplay()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 1);
    FillGrid(grid, soft, 1, 10);
    grid.ClearDisplay();
    QVERIFY(soft.ShowRecord(grid, ReplyFrame(MakeRecord(NumberedRecord(3))), 57, 1)
            == TSoftHistory::TRecordResult::Shown);
    QCOMPARE(grid.Cell(0, 1), QStringLiteral("57"));

    grid.ClearDisplay();
    QCOMPARE(grid.Cell(0, 1), QStringLiteral("1"));
    QCOMPARE(grid.Cell(0, 2), QStringLiteral("2"));
    QCOMPARE(grid.Cell(1, 0), QStringLiteral("日期"));
    QCOMPARE(grid.LastFilledRow(), 0);
    for (int column = 1; column < grid.ColCount(); ++column)
        QCOMPARE(grid.Cell(column, 1), QString());
}

void tst_History::tableModelView()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    FillGrid(grid, soft, 0, 5);

    QCOMPARE(grid.rowCount(), 20000);
    QCOMPARE(grid.columnCount(), 16);
    QCOMPARE(grid.data(grid.index(4, 1)).toString(), grid.Cell(1, 5));
    QCOMPARE(grid.data(grid.index(4, 0)).toString(), QStringLiteral("5"));
    QCOMPARE(grid.headerData(8, Qt::Horizontal).toString(), QStringLiteral("Temp1"));

    QSignalSpy changed(&grid, &QAbstractItemModel::dataChanged);
    grid.SetCell(3, 2, QStringLiteral("x"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toModelIndex(), grid.index(1, 3));
    QSignalSpy removed(&grid, &QAbstractItemModel::columnsRemoved);
    soft.SetValueColumns(grid, 2, 1);
    QCOMPARE(removed.count(), 0);
    QSignalSpy inserted(&grid, &QAbstractItemModel::columnsInserted);
    soft.SetValueColumns(grid, 1, 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(grid.columnCount(), 24);
}

// ---- CSV ----

void tst_History::csvRoundTrip_data()
{
    QTest::addColumn<int>("modelIndex");
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("records");

    QTest::newRow("K801 Chinese, full grid") << 0 << 0 << 20000;
    QTest::newRow("K802 English, full grid") << 1 << 1 << 20000;
    QTest::newRow("K803 Chinese, 37 records") << 2 << 0 << 37;
    QTest::newRow("no model, 320 columns") << -1 << 1 << 9;
}

void tst_History::csvRoundTrip()
{
    QFETCH(int, modelIndex);
    QFETCH(int, language);
    QFETCH(int, records);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, modelIndex, language);
    FillGrid(grid, soft, modelIndex, records);
    QCOMPARE(grid.LastFilledRow(), records);
    const QVector<QStringList> before = Snapshot(grid);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const THistoryCsv::TResult exported = THistoryCsv::Export(grid, dir.filePath("history"));
    QVERIFY2(exported.ok(), qPrintable(exported.systemText));
    QCOMPARE(exported.fileName, dir.filePath("history.csv"));
    QCOMPARE(exported.lines, 20000);

    THistoryGridModel loaded;
    TSoftHistory otherSoft;
    SetUpGrid(loaded, otherSoft, modelIndex, language);
    const THistoryCsv::TResult imported = THistoryCsv::Import(loaded, exported.fileName);
    QVERIFY2(imported.ok(), qPrintable(imported.systemText));
    QCOMPARE(imported.lines, 20000);
    QVERIFY(Snapshot(loaded) == before);
}

void tst_History::csvFileContent()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0, 0);
    soft.BeginRead(grid);
    TRecordSpec spec;
    spec.values[0] = 234;
    spec.values[1] = 560;
    soft.ShowPage(grid, ReplyFrame(MakeRecord(spec)), 1, 0);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const THistoryCsv::TResult result = THistoryCsv::Export(grid, dir.filePath("k801.csv"));
    QVERIFY(result.ok());
    const QByteArray bytes = ReadAll(result.fileName);

    // 布防 闭合 断开 定时存贮 in GBK
    const QByteArray firstLine = QByteArray("17/6/5,9:5:0,25,") + QByteArray::fromHex("b2bcb7c0") + ','
                                 + QByteArray::fromHex("b1d5bacf") + ',' + QByteArray::fromHex("b6cfbfaa")
                                 + ',' + QByteArray::fromHex("b6a8cab1b4e6d6fc")
                                 + ",23.4,56.0,0.0,0.0,0.0,0.0,0.0,0.0\r\n";
    QVERIFY(bytes.startsWith(firstLine));
    const QByteArray emptyLine = QByteArray(14, ',') + "\r\n";
    QCOMPARE(bytes.size(), firstLine.size() + 19999 * emptyLine.size());
    QCOMPARE(bytes.mid(firstLine.size(), emptyLine.size()), emptyLine);
    QVERIFY(bytes.endsWith(emptyLine));
    QCOMPARE(bytes.count('\n'), 20000);
    QCOMPARE(bytes.count('\r'), 20000);
}

void tst_History::csvEmptyGridLines_data()
{
    QTest::addColumn<int>("modelIndex");
    QTest::addColumn<int>("commas");
    QTest::newRow("before any version reply") << -1 << 318;
    QTest::newRow("K801 connected") << 0 << 14;
    QTest::newRow("K802 connected") << 1 << 22;
}

void tst_History::csvEmptyGridLines()
{
    QFETCH(int, modelIndex);
    QFETCH(int, commas);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, modelIndex);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const THistoryCsv::TResult result = THistoryCsv::Export(grid, dir.filePath("empty.csv"));
    QVERIFY(result.ok());
    const QByteArray line = QByteArray(commas, ',') + "\r\n";
    QCOMPARE(ReadAll(result.fileName), line.repeated(20000));
}

void tst_History::csvFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("data") << "data" << "data.csv";
    QTest::newRow("DATA.CSV") << "DATA.CSV" << "DATA.CSV";
    QTest::newRow("Data.Csv") << "Data.Csv" << "Data.Csv";
    QTest::newRow("data.csv.bak") << "data.csv.bak" << "data.csv.bak.csv";
    QTest::newRow("datacsv") << "datacsv" << "datacsv.csv";
}

void tst_History::csvFileName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);

    QCOMPARE(THistoryCsv::WithCsvExtension(chosen), written);
    THistoryGridModel grid;
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const THistoryCsv::TResult result = THistoryCsv::Export(grid, dir.filePath(chosen));
    QVERIFY(result.ok());
    QCOMPARE(result.fileName, dir.filePath(written));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{written});
}

void tst_History::defaultFileName_data()
{
    QTest::addColumn<int>("modelIndex");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("name");
    const QDateTime june(QDate(2017, 6, 5), QTime(9, 5, 0));
    QTest::newRow("K801") << 0 << june << "K801_170605090500";
    QTest::newRow("K802") << 1 << june << "K802_170605090500";
    QTest::newRow("K803") << 2 << QDateTime(QDate(2024, 12, 31), QTime(23, 59, 58)) << "K803_241231235958";
    QTest::newRow("no model") << -1 << june << "K801_170605090500";
}

void tst_History::defaultFileName()
{
    QFETCH(int, modelIndex);
    QFETCH(QDateTime, now);
    QFETCH(QString, name);
    QCOMPARE(THistoryCsv::DefaultFileName(modelIndex, now), name);
}

void tst_History::importFields_data()
{
    QTest::addColumn<int>("modelIndex");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QStringList>>("rows");   // rows 1, 2, ... after the import

    QTest::newRow("plain fields") << 0 << QByteArray("a,b,c\r\nd\r\n")
        << QList<QStringList>{{"a", "b", "c"}, {"d"}};
    QTest::newRow("quoted comma") << 0 << QByteArray("\"17/6/5, late\",9:5:0\r\n")
        << QList<QStringList>{{"17/6/5, late", "9:5:0"}};
    QTest::newRow("doubled quote") << 0 << QByteArray("\"say \"\"hi\"\"\",x\r\n")
        << QList<QStringList>{{"say \"hi\"", "x"}};
    QTest::newRow("quoted empty and unclosed") << 0 << QByteArray("\"\",\"open\r\n")
        << QList<QStringList>{{"", "open"}};
    QTest::newRow("trailing comma") << 0 << QByteArray("a,\r\n")
        << QList<QStringList>{{"a"}};
    QTest::newRow("empty line keeps its row empty") << 0 << QByteArray("a\r\n\r\nb\r\n")
        << QList<QStringList>{{"a"}, {}, {"b"}};
    QTest::newRow("LF and CR line ends") << 0 << QByteArray("a\nb\rc")
        << QList<QStringList>{{"a"}, {"b"}, {"c"}};
    QTest::newRow("GBK text") << 0 << QByteArray("x,") + QByteArray::fromHex("b2bcb7c0") + "\r\n"
        << QList<QStringList>{{"x", "布防"}};

    QByteArray k802Line = "17/6/5,9:5:0,25,Arm,Close,Open,Interval";
    QStringList k801Fields = {"17/6/5", "9:5:0", "25", "Arm", "Close", "Open", "Interval"};
    for (int value = 1; value <= 16; ++value) {
        k802Line += "," + QByteArray::number(value) + ".0";
        if (value <= 8)
            k801Fields << QString::number(value) + ".0";
    }
    QTest::newRow("K802 line into K801 grid keeps 15 fields") << 0 << k802Line + "\r\n"
        << QList<QStringList>{k801Fields};
    QStringList allFields = k801Fields;
    for (int value = 9; value <= 16; ++value)
        allFields << QString::number(value) + ".0";
    QTest::newRow("K802 line into K802 grid") << 1 << k802Line + "\r\n"
        << QList<QStringList>{allFields};
}

void tst_History::importFields()
{
    QFETCH(int, modelIndex);
    QFETCH(QByteArray, content);
    QFETCH(QList<QStringList>, rows);
    // A file is only taken when a line holds a record date and time; the
    // first line gives one, the rest is the row under test.
    content.prepend("17/6/5,9:5:0\r\n");
    rows.prepend({"17/6/5", "9:5:0"});

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, modelIndex);
    FillGrid(grid, soft, modelIndex, 12);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("in.csv");
    QVERIFY(WriteBytes(path, content));
    const THistoryCsv::TResult result = THistoryCsv::Import(grid, path);
    QVERIFY(result.ok());
    QCOMPARE(result.lines, rows.size());
    for (int index = 0; index < rows.size(); ++index)
        QCOMPARE(grid.RowFields(index + 1), rows.at(index));
    // Everything below the file's lines is empty; column 0 keeps its numbers.
    QVERIFY(grid.LastFilledRow() <= rows.size());
    QVERIFY(grid.RowFields(rows.size() + 1).isEmpty());
    QCOMPARE(grid.Cell(0, rows.size() + 1), QString::number(rows.size() + 1));
}

void tst_History::importStopsAtLastRow()
{
    QByteArray content;
    for (int line = 1; line <= 20005; ++line)
        content += line == 2 ? QByteArray("17/6/5,9:5:0\r\n") : "r" + QByteArray::number(line) + ",x\r\n";
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("long.csv");
    QVERIFY(WriteBytes(path, content));

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    const THistoryCsv::TResult result = THistoryCsv::Import(grid, path);
    QVERIFY(result.ok());
    QCOMPARE(result.lines, 20000);
    QCOMPARE(grid.Cell(1, 1), QStringLiteral("r1"));
    QCOMPARE(grid.Cell(1, 20000), QStringLiteral("r20000"));
    QCOMPARE(grid.LastFilledRow(), 20000);
}

void tst_History::importRefusesBadFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("sparseSize");   // grown to this size with a hole, 0: as written
    QTest::addColumn<int>("error");

    const int tooLarge = int(THistoryCsv::TError::TooLarge);
    const QByteArray dated = "17/6/5,9:5:0,25\r\n";
    QTest::newRow("binary") << QByteArray("\x7F" "ELF\x02\x01\x01", 7) + QByteArray(9, '\0') + dated
                            << qint64(0) << int(THistoryCsv::TError::NotText);
    QTest::newRow("a 50 MB line") << dated + QByteArray(50 * 1024 * 1024, 'x') + "\r\n" << qint64(0) << tooLarge;
    QTest::newRow("a line just over the limit")
        << dated + QByteArray(THistoryCsv::MaxLineLength + 1, 'x') << qint64(0) << tooLarge;
    QTest::newRow("300 MB") << dated << qint64(300) * 1024 * 1024 << tooLarge;
    QTest::newRow("no line with a date and time")
        << QByteArray("name,value\r\nfirst,1\r\n17/6/5\r\n") << qint64(0) << int(THistoryCsv::TError::NoRecords);
    QTest::newRow("empty file") << QByteArray() << qint64(0) << int(THistoryCsv::TError::NoRecords);
}

// A file that is no history log is refused with a message of its own in
// both languages, and the grid keeps what it showed.
void tst_History::importRefusesBadFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, sparseSize);
    QFETCH(int, error);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    FillGrid(grid, soft, 0, 12);
    const QVector<QStringList> before = Snapshot(grid);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("bad.csv");
    QVERIFY(WriteBytes(path, content));
    if (sparseSize > 0)
        QVERIFY(QFile::resize(path, sparseSize));
    const THistoryCsv::TResult result = THistoryCsv::Import(grid, path);
    QCOMPARE(int(result.error), error);
    QCOMPARE(result.lines, 0);
    QVERIFY(Snapshot(grid) == before);
    QVERIFY(result.TextKey() != QStringLiteral("MsgCsvImportFailed"));
    for (int language : {0, 1})
        QVERIFY(!ConstLang::Text(result.TextKey(), language).isEmpty());
}

void tst_History::importFailureKeepsGrid_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::addColumn<bool>("makeFolder");
    QTest::newRow("missing file") << "missing.csv" << false;
    QTest::newRow("a folder, not a file") << "folder.csv" << true;
}

void tst_History::importFailureKeepsGrid()
{
    QFETCH(QString, relativePath);
    QFETCH(bool, makeFolder);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    if (makeFolder)
        QVERIFY(QDir(dir.path()).mkdir(relativePath));

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 1);
    FillGrid(grid, soft, 1, 30);
    const QVector<QStringList> before = Snapshot(grid);

    const THistoryCsv::TResult result = THistoryCsv::Import(grid, dir.filePath(relativePath));
    QVERIFY(!result.ok());
    QVERIFY(result.error == THistoryCsv::TError::OpenFailed
            || result.error == THistoryCsv::TError::ReadFailed);
    QCOMPARE(result.TextKey(), QStringLiteral("MsgCsvImportFailed"));
    QVERIFY(!result.systemText.isEmpty());
    QVERIFY(Snapshot(grid) == before);
}

void tst_History::exportToMissingFolderFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    THistoryGridModel grid;
    const THistoryCsv::TResult result = THistoryCsv::Export(grid, dir.filePath("no/such/folder/h"));
    QVERIFY(!result.ok());
    QVERIFY(result.error == THistoryCsv::TError::WriteFailed);
    QCOMPARE(result.TextKey(), QStringLiteral("MsgCsvExportFailed"));
    QVERIFY(!QFile::exists(dir.filePath("no")));
}

void tst_History::failedExportKeepsOldFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("old.csv");
    const QByteArray oldContent = "the old export\r\n";
    QVERIFY(WriteBytes(path, oldContent));

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 1);
    FillGrid(grid, soft, 1, 2000);

    // A file size limit makes the write fail halfway, as a full disk would;
    // it holds for root too.
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const THistoryCsv::TResult result = THistoryCsv::Export(grid, path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!result.ok());
    QVERIFY(result.error == THistoryCsv::TError::WriteFailed);
    QCOMPARE(ReadAll(path), oldContent);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.csv"});

    // Without the limit the same export replaces the old file.
    QVERIFY(THistoryCsv::Export(grid, path).ok());
    QVERIFY(ReadAll(path).startsWith(grid.Cell(1, 1).toLatin1()));
#else
    QSKIP("needs a file size limit");
#endif
}

void tst_History::csvOnEachConversionRoute_data()
{
    AddConversionRouteRows();
}

// The CSV files take the program's GBK conversion. Without one, an export
// fails and keeps the old file instead of writing Chinese texts as '?', and
// an import of Chinese text fails instead of filling the grid with
// replacement characters; ASCII files still import.
void tst_History::csvOnEachConversionRoute()
{
    QFETCH(TGbkText::TRoute, route);
    QFETCH(bool, mustWork);
    QFETCH(bool, converts);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 1, 0);
    FillGrid(grid, soft, 1, 40);
    const QVector<QStringList> before = Snapshot(grid);
    QCOMPARE(grid.Cell(4, 1), QString::fromUtf8("撤防"));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("history.csv"));
    const QByteArray oldContent = "the old export\r\n";
    QVERIFY(WriteBytes(path, oldContent));

    if (!TGbkText::ForceRouteForTests(route)) {
        QVERIFY(!mustWork);
        QSKIP("route not available here");
    }
    const auto reset = qScopeGuard([] { TGbkText::ResetRouteForTests(); });

    const THistoryCsv::TResult exported = THistoryCsv::Export(grid, path);
    THistoryGridModel loaded;
    TSoftHistory otherSoft;
    SetUpGrid(loaded, otherSoft, 1, 0);
    if (converts) {
        QVERIFY2(exported.ok(), qPrintable(exported.systemText));
        QVERIFY(ReadAll(path).contains(",1," + QByteArray::fromHex("b3b7b7c0") + ","));
        QVERIFY(THistoryCsv::Import(loaded, path).ok());
        QCOMPARE(Snapshot(loaded), before);
        return;
    }

    QCOMPARE(exported.error, THistoryCsv::TError::WriteFailed);
    QCOMPARE(exported.systemText, TGbkText::NoConversionReason());
    QCOMPARE(ReadAll(path), oldContent);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.csv"});

    const QVector<QStringList> empty = Snapshot(loaded);
    QVERIFY(WriteBytes(path, "2017-06-05," + QByteArray::fromHex("cec2b6c8") + "\r\n"));
    const THistoryCsv::TResult imported = THistoryCsv::Import(loaded, path);
    QCOMPARE(imported.error, THistoryCsv::TError::ReadFailed);
    QCOMPARE(Snapshot(loaded), empty);

    // ASCII text needs no conversion.
    QVERIFY(WriteBytes(path, "17/6/5,9:5:0,Alarm\r\n"));
    QVERIFY(THistoryCsv::Import(loaded, path).ok());
    QCOMPARE(loaded.Cell(3, 1), QStringLiteral("Alarm"));
}

void tst_History::cellWithCommaSurvivesRoundTrip()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    grid.SetCells(1, 1, {"a,b", "\"quoted\"", "plain"});
    grid.SetCells(2, 1, {"x", "", "", "", "", "", "", "", "", "", "", "", "", "", "last"});
    grid.SetCells(3, 1, {"17/6/5", "9:5:0"});
    const QVector<QStringList> before = Snapshot(grid);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const THistoryCsv::TResult exported = THistoryCsv::Export(grid, dir.filePath("odd.csv"));
    QVERIFY(exported.ok());
    QVERIFY(ReadAll(exported.fileName).startsWith("\"a,b\",\"\"\"quoted\"\"\",plain,"));
    grid.ClearDisplay();
    QVERIFY(THistoryCsv::Import(grid, exported.fileName).ok());
    QVERIFY(Snapshot(grid) == before);
}

// ---- date filter ----

void tst_History::recordTime_data()
{
    QTest::addColumn<QString>("dateCell");
    QTest::addColumn<QString>("timeCell");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QDateTime>("moment");

    const int skipped = int(THistoryFilter::TRowTime::Skipped);
    const int invalid = int(THistoryFilter::TRowTime::Invalid);
    const int valid = int(THistoryFilter::TRowTime::Valid);
    QTest::newRow("17/6/5 9:5:0") << "17/6/5" << "9:5:0" << valid
                                  << QDateTime(QDate(2017, 6, 5), QTime(9, 5, 0));
    QTest::newRow("surrounding spaces") << " 17/6/5 " << " 9:5:0 " << valid
                                        << QDateTime(QDate(2017, 6, 5), QTime(9, 5, 0));
    QTest::newRow("four-digit year lands in 4017") << "2017/6/5" << "9:5:0" << valid
                                                   << QDateTime(QDate(4017, 6, 5), QTime(9, 5, 0));
    QTest::newRow("empty date") << "" << "9:5:0" << skipped << QDateTime();
    QTest::newRow("blank date") << "   " << "9:5:0" << skipped << QDateTime();
    QTest::newRow("empty time") << "17/6/5" << "" << skipped << QDateTime();
    QTest::newRow("space inside") << "17/6/5 1" << "9:5:0" << skipped << QDateTime();
    QTest::newRow("seconds missing") << "17/6/5" << "9:5" << skipped << QDateTime();
    QTest::newRow("letters count as 0 second") << "17/6/5" << "9:5:x" << valid
                                               << QDateTime(QDate(2017, 6, 5), QTime(9, 5, 0));
    QTest::newRow("letters count as 0 day") << "17/6/x" << "9:5:0" << invalid << QDateTime();
    QTest::newRow("month 13") << "17/13/5" << "9:5:0" << invalid << QDateTime();
    QTest::newRow("month 0") << "17/0/5" << "9:5:0" << invalid << QDateTime();
    QTest::newRow("February 30") << "17/2/30" << "9:5:0" << invalid << QDateTime();
    QTest::newRow("hour 24") << "17/6/5" << "24:0:0" << invalid << QDateTime();
    QTest::newRow("second 60") << "17/6/5" << "9:5:60" << invalid << QDateTime();
    QTest::newRow("huge year") << "99999999999/6/5" << "9:5:0" << invalid << QDateTime();
    // Adding the century to these must not overflow.
    QTest::newRow("largest 64-bit year") << "9223372036854775807/1/1" << "1:1:1" << invalid << QDateTime();
    QTest::newRow("smallest 64-bit year") << "-9223372036854775808/1/1" << "1:1:1" << invalid << QDateTime();
}

void tst_History::recordTime()
{
    QFETCH(QString, dateCell);
    QFETCH(QString, timeCell);
    QFETCH(int, kind);
    QFETCH(QDateTime, moment);

    QDate date;
    QTime time;
    QCOMPARE(int(THistoryFilter::RecordTime(dateCell, timeCell, &date, &time)), kind);
    if (kind == int(THistoryFilter::TRowTime::Valid)) {
        QCOMPARE(date, moment.date());
        QCOMPARE(time, moment.time());
    }
}

void tst_History::filterRange_data()
{
    QTest::addColumn<QDateTime>("begin");
    QTest::addColumn<QDateTime>("end");
    QTest::addColumn<QStringList>("keptTimes");   // time cells of rows 1, 2, ... after the filter

    const QDate day(2017, 6, 5);
    QTest::newRow("both ends included")
        << QDateTime(day, QTime(9, 5, 0)) << QDateTime(day, QTime(10, 0, 0))
        << QStringList{"9:5:0", "10:0:0"};
    QTest::newRow("begin 500 ms after drops the record")
        << QDateTime(day, QTime(9, 5, 0, 500)) << QDateTime(day, QTime(10, 0, 0))
        << QStringList{"10:0:0"};
    QTest::newRow("end 500 ms after keeps the record")
        << QDateTime(day, QTime(9, 0, 0)) << QDateTime(day, QTime(9, 5, 0, 500))
        << QStringList{"9:5:0"};
    QTest::newRow("whole range in grid order")
        << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << QDateTime(QDate(2099, 1, 1), QTime(0, 0))
        << QStringList{"10:0:1", "9:5:0", "23:59:59", "10:0:0"};
    QTest::newRow("begin later than end keeps nothing")
        << QDateTime(day, QTime(11, 0, 0)) << QDateTime(day, QTime(9, 0, 0)) << QStringList{};
    QTest::newRow("nothing in range") << QDateTime(QDate(2018, 1, 1), QTime(0, 0))
                                      << QDateTime(QDate(2018, 12, 31), QTime(0, 0)) << QStringList{};
}

void tst_History::filterRange()
{
    QFETCH(QDateTime, begin);
    QFETCH(QDateTime, end);
    QFETCH(QStringList, keptTimes);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    grid.ClearDisplay();
    grid.SetCell(0, 1, QStringLiteral("57"));
    grid.SetCells(1, 1, {"17/6/5", "10:0:1", "a"});
    grid.SetCells(2, 1, {"17/6/5", "9:5:0", "b"});
    grid.SetCells(3, 1, {"", "9:5:0", "no date"});
    grid.SetCells(4, 1, {"17/6/4", "23:59:59", "c"});
    grid.SetCells(6, 1, {"2017/6/5", "9:5:0", "four-digit year"});
    grid.SetCells(9, 1, {"17/6/5", "10:0:0", "d", "", "", "", "", "", "", "", "", "", "", "", "9.9"});

    const THistoryFilter::TResult result =
        THistoryFilter::Apply(grid, begin.date(), begin.time(), end.date(), end.time());
    QVERIFY(result.ok);
    QCOMPARE(result.keptRows, keptTimes.size());
    QCOMPARE(grid.LastFilledRow(), keptTimes.size());
    for (int index = 0; index < keptTimes.size(); ++index)
        QCOMPARE(grid.Cell(2, index + 1), keptTimes.at(index));
    // Row 1 is numbered 1 whatever its record number was; whole rows move.
    QCOMPARE(grid.Cell(0, 1), QStringLiteral("1"));
    const int lastKept = keptTimes.indexOf("10:0:0");
    if (lastKept >= 0)
        QCOMPARE(grid.Cell(15, lastKept + 1), QStringLiteral("9.9"));
}

void tst_History::filterBadDateStops_data()
{
    QTest::addColumn<QString>("badDate");
    QTest::addColumn<QString>("badTime");
    QTest::newRow("month 13") << "17/13/5" << "9:5:0";
    QTest::newRow("day 0") << "17/6/0" << "9:5:0";
    QTest::newRow("hour 24") << "17/6/5" << "24:5:0";
}

void tst_History::filterBadDateStops()
{
    QFETCH(QString, badDate);
    QFETCH(QString, badTime);

    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    FillGrid(grid, soft, 0, 20);
    grid.SetCells(12, 1, {badDate, badTime});
    const QVector<QStringList> before = Snapshot(grid);

    const THistoryFilter::TResult result = THistoryFilter::Apply(
        grid, QDate(2000, 1, 1), QTime(0, 0), QDate(2099, 12, 31), QTime(23, 59, 59, 999));
    QVERIFY(!result.ok);
    QCOMPARE(result.badRow, 12);
    QVERIFY(Snapshot(grid) == before);
}

void tst_History::rowsOutOfTimeOrder_data()
{
    QTest::addColumn<QStringList>("moments"); // "date time" per row, "-" for a row without one
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("in order") << QStringList{"17/6/5 9:0:0", "17/6/5 9:0:0", "17/6/5 9:1:0"} << QList<int>{};
    QTest::newRow("a page shown again") << QStringList{"17/6/5 9:0:0", "17/6/5 9:1:0", "17/6/5 9:0:30",
                                                       "17/6/5 9:1:0", "17/6/5 9:2:0"}
                                        << QList<int>{3};
    QTest::newRow("across a day") << QStringList{"17/6/5 23:59:0", "17/6/6 0:0:0", "17/6/5 23:0:0"}
                                  << QList<int>{3};
    QTest::newRow("rows without a time are passed over")
        << QStringList{"17/6/5 9:0:0", "-", "17/6/5 8:0:0", "17/6/5 8:30:0"} << QList<int>{3};
}

void tst_History::rowsOutOfTimeOrder()
{
    QFETCH(QStringList, moments);
    QFETCH(QList<int>, expected);
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    for (int index = 0; index < moments.size(); ++index) {
        if (moments.at(index) != QLatin1String("-"))
            grid.SetCells(index + 1, 1, moments.at(index).split(QLatin1Char(' ')));
    }
    QCOMPARE(THistoryFilter::RowsOutOfTimeOrder(grid, int(moments.size())), expected);
}

// The file of a user who typed the largest 64-bit number as a year: it
// imports (its line has the fields), and Search stops at that row instead
// of computing a year that overflows.
void tst_History::importedHugeYearStopsSearch()
{
    THistoryGridModel grid;
    TSoftHistory soft;
    SetUpGrid(grid, soft, 0);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("huge.csv");
    QVERIFY(WriteBytes(path, "17/6/5,9:5:0\r\n9223372036854775807/1/1,1:1:1\r\n"));
    QVERIFY(THistoryCsv::Import(grid, path).ok());
    const QVector<QStringList> imported = Snapshot(grid);

    const THistoryFilter::TResult result =
        THistoryFilter::Apply(grid, QDate(2000, 1, 1), QTime(0, 0), QDate(2099, 12, 31), QTime(23, 59, 59));
    QVERIFY(!result.ok);
    QCOMPARE(result.badRow, 2);
    QVERIFY(Snapshot(grid) == imported);
}

QTEST_GUILESS_MAIN(tst_History)
#include "tst_History.moc"
