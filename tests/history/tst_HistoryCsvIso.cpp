// The ISO form of the history CSV: device times with the PC's UTC offset on
// their own day, a header line, the filled rows only. The zone is fixed to
// one with summer time for the whole run.
#include "history/HistoryCsv_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "base/GbkText_Unt.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

class TestHistoryCsvIso : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qputenv("TZ", "Europe/Berlin");
        tzset();
    }

    void isoTime_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("iso");
        QTest::newRow("winter") << "25/1/31" << "14:25:0" << "2025-01-31T14:25:00+01:00";
        QTest::newRow("summer") << "25/7/1" << "0:0:5" << "2025-07-01T00:00:05+02:00";
        QTest::newRow("leap day") << "24/2/29" << "23:59:59" << "2024-02-29T23:59:59+01:00";
        QTest::newRow("no leap day in 2025") << "25/2/29" << "12:0:0" << "";
        QTest::newRow("month 13") << "25/13/1" << "12:0:0" << "";
        QTest::newRow("hour 24") << "25/1/1" << "24:0:0" << "";
        QTest::newRow("erased year byte") << "255/255/255" << "255:255:255" << "";
        QTest::newRow("no numbers") << "a/b/c" << "1:2:3" << "";
        QTest::newRow("two parts") << "25/1" << "1:2:3" << "";
    }

    void isoTime()
    {
        QFETCH(QString, date);
        QFETCH(QString, time);
        QFETCH(QString, iso);
        QCOMPARE(THistoryCsv::IsoTime(date, time), iso);
    }

    void exportIsoWritesHeaderAndFilledRows()
    {
        THistoryGridModel grid;
        grid.SetColCount(6);
        for (int column = 1; column <= 5; ++column)
            grid.SetCell(column, 0, QStringList{"Date", "Time", "Signal", "Status", "T1"}.at(column - 1));
        grid.SetCells(1, 1, QStringList{"25/1/31", "14:25:0", "21", "布防", "-3.5"});
        grid.SetCells(2, 1, QStringList{"25/13/40", "9:0:0", "20", "撤防", "4.0"});
        grid.SetCells(3, 1, QStringList{"25/7/1", "8:0:0", "19"});
        QTemporaryDir dir;
        const THistoryCsv::TResult result =
            THistoryCsv::ExportIso(grid, dir.filePath(QStringLiteral("iso")), QStringLiteral("Time (ISO 8601)"));
        QVERIFY(result);
        QCOMPARE(result.fileName, dir.filePath(QStringLiteral("iso.csv")));
        QFile file(result.fileName);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(TGbkText::Decode(file.readAll()),
                 QStringLiteral("Time (ISO 8601),Signal,Status,T1\r\n"
                                "2025-01-31T14:25:00+01:00,21,布防,-3.5\r\n"
                                "25/13/40 9:0:0,20,撤防,4.0\r\n"
                                "2025-07-01T08:00:00+02:00,19,,\r\n"));
        QCOMPARE(result.lines, 4);
    }
};

QTEST_GUILESS_MAIN(TestHistoryCsvIso)
#include "tst_HistoryCsvIso.moc"
