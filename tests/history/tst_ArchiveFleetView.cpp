// The archive window's fleet columns and its overlay chart, on an archive of
// two devices: the new columns hold the last download, the verdict on the
// limits and the last values in both languages, and Overlay draws the
// channel picked of every device picked, one line each.

#include "config/ConfigImage_Unt.h"
#include "history/HistoryArchiveView_Frm.h"
#include "history/HistoryArchive_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QChart>
#include <QComboBox>
#include <QLineSeries>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QString kFridge = QStringLiteral("861000000000011");
const QString kFreezer = QStringLiteral("861000000000012");

// Columns after the IMEI, model, record count and last read.
constexpr int DownloadColumn = 4;
constexpr int LimitsColumn = 5;
constexpr int ValuesColumn = 6;

// A K801 record at 2024-03-01 hour:minute: Temperature1 and Humidity1 in
// tenths, the other channels 0.
TArchivedRecord Record(int number, int hour, int minute, qint16 temperature, qint16 humidity)
{
    QByteArray raw(64, char(0));
    const char time[] = {24, 3, 1, char(hour), char(minute), 0};
    raw.replace(4, 6, QByteArray(time, 6));
    qToLittleEndian<qint16>(temperature, raw.data() + 12);
    qToLittleEndian<qint16>(humidity, raw.data() + 14);
    return TArchivedRecord{number, raw};
}

// Temperature1 2.0 .. 8.0 °C.
QByteArray Limits()
{
    QByteArray image(ConfigMap::ImageSize, char(0xFF));
    image[ConfigMap::SensorNames] = 0;
    qToLittleEndian<qint16>(80, image.data() + ConfigMap::SensorHighThresholds);
    qToLittleEndian<qint16>(20, image.data() + ConfigMap::SensorLowThresholds);
    return image;
}

QDateTime At(int hour, int minute)
{
    return QDateTime(QDate(2024, 3, 1), QTime(hour, minute));
}

} // namespace

class TestArchiveFleetView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        THistoryArchive archive(m_folder.filePath(QStringLiteral("archive.sqlite")));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        // The fridge: five records, 9.0 °C at 08:20 above its limit.
        QVector<TArchivedRecord> fridge;
        const qint16 temperatures[] = {40, 50, 90, 60, 55};
        for (int index = 0; index < 5; ++index)
            fridge << Record(index + 1, 8, index * 10, temperatures[index], 450);
        QCOMPARE(archive.Store(kFridge, QStringLiteral("K801"), fridge, At(9, 0)), 5);
        QVERIFY(archive.StoreDownload(kFridge, Limits(), At(8, 58), At(9, 0)) > 0);
        // The freezer: three records, no configuration kept.
        QCOMPARE(archive.Store(kFreezer, QStringLiteral("K801"),
                               {Record(1, 8, 5, -180, 300), Record(2, 8, 15, -182, 300), Record(3, 8, 25, -179, 310)},
                               At(9, 30)),
                 3);
        QVERIFY(archive.StoreDownload(kFreezer, QByteArray(), QDateTime(), At(9, 30)) > 0);
    }

    void columns_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QStringList>("headers");
        QTest::addColumn<QStringList>("fridge");
        QTest::addColumn<QStringList>("freezer");
        QTest::newRow("English")
            << int(ConstLang::English)
            << QStringList{"Last Download", "Limits", "Last Values"}
            << QStringList{"2024-03-01 09:00:00", "limits crossed (1 readings)",
                           "Temperature1: 5.5 °C, Humidity1: 45.0 %RH, Temperature2: 0.0 °C, Humidity2: 0.0 %RH, "
                           "Temperature3: 0.0 °C, Humidity3: 0.0 %RH, Temperature4: 0.0 °C, Humidity4: 0.0 %RH"}
            << QStringList{"2024-03-01 09:30:00", "limits unknown",
                           "Temperature1: -17.9 °C, Humidity1: 31.0 %RH, Temperature2: 0.0 °C, Humidity2: 0.0 %RH, "
                           "Temperature3: 0.0 °C, Humidity3: 0.0 %RH, Temperature4: 0.0 °C, Humidity4: 0.0 %RH"};
        QTest::newRow("Chinese")
            << int(ConstLang::Chinese)
            << QStringList{"最后下载", "限值", "最后数值"}
            << QStringList{"2024-03-01 09:00:00", "超限（1个读数）",
                           "温度1: 5.5 °C, 湿度1: 45.0 %RH, 温度2: 0.0 °C, 湿度2: 0.0 %RH, "
                           "温度3: 0.0 °C, 湿度3: 0.0 %RH, 温度4: 0.0 °C, 湿度4: 0.0 %RH"}
            << QStringList{"2024-03-01 09:30:00", "限值未知",
                           "温度1: -17.9 °C, 湿度1: 31.0 %RH, 温度2: 0.0 °C, 湿度2: 0.0 %RH, "
                           "温度3: 0.0 °C, 湿度3: 0.0 %RH, 温度4: 0.0 °C, 湿度4: 0.0 %RH"};
    }

    void columns()
    {
        QFETCH(int, language);
        QFETCH(QStringList, headers);
        QFETCH(QStringList, fridge);
        QFETCH(QStringList, freezer);
        THistoryArchive archive(m_folder.filePath(QStringLiteral("archive.sqlite")));
        THistoryArchiveView view(&archive);
        view.Retranslate(language);
        QTableWidget *table = view.tbl_ArchiveDevices;
        QCOMPARE(table->columnCount(), 7);
        QCOMPARE(table->rowCount(), 2);
        QCOMPARE(table->item(0, 0)->text(), kFridge);
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("5"));
        QCOMPARE(table->item(1, 0)->text(), kFreezer);
        QCOMPARE(table->item(1, 2)->text(), QStringLiteral("3"));
        const int columns[] = {DownloadColumn, LimitsColumn, ValuesColumn};
        for (int index = 0; index < 3; ++index)
            QCOMPARE(table->horizontalHeaderItem(columns[index])->text(), headers.at(index));
        const QStringList rows[] = {fridge, freezer};
        for (int row = 0; row < 2; ++row) {
            for (int index = 0; index < 3; ++index)
                QCOMPARE(table->item(row, columns[index])->text(), rows[row].at(index));
        }
    }

    void overlay_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QVector<double>>("fridge");
        QTest::addColumn<QVector<double>>("freezer");
        QTest::newRow("Temperature1") << 0 << "Temperature1" << "Temperature1 of 2 devices"
                                      << QVector<double>{4.0, 5.0, 9.0, 6.0, 5.5}
                                      << QVector<double>{-18.0, -18.2, -17.9};
        QTest::newRow("Humidity1") << 1 << "Humidity1" << "Humidity1 of 2 devices"
                                   << QVector<double>{45.0, 45.0, 45.0, 45.0, 45.0}
                                   << QVector<double>{30.0, 30.0, 31.0};
    }

    void overlay()
    {
        QFETCH(int, slot);
        QFETCH(QVector<double>, fridge);
        QFETCH(QVector<double>, freezer);
        THistoryArchive archive(m_folder.filePath(QStringLiteral("archive.sqlite")));
        THistoryArchiveView view(&archive);
        view.Retranslate(ConstLang::English);
        view.tbl_ArchiveDevices->selectAll();
        QCOMPARE(view.SelectedImeis(), (QStringList{kFridge, kFreezer}));
        // A K801's channels, Temperature1 .. Humidity4.
        QCOMPARE(view.cmb_ArchiveChannel->count(), 8);
        QVERIFY(view.SelectChannel(slot));
        QTEST(view.cmb_ArchiveChannel->currentText(), "channel");
        QVERIFY(view.btn_ArchiveOverlay->isEnabled());
        QTest::mouseClick(view.btn_ArchiveOverlay, Qt::LeftButton);

        const QList<QAbstractSeries *> series = view.OverlayChart()->series();
        QCOMPARE(series.size(), 2);
        const QVector<QVector<double>> expected = {fridge, freezer};
        const QStringList names = {kFridge, kFreezer};
        for (int index = 0; index < 2; ++index) {
            auto *line = qobject_cast<QLineSeries *>(series.at(index));
            QVERIFY(line);
            QCOMPARE(line->name(), names.at(index));
            const QList<QPointF> points = line->points();
            QCOMPARE(points.size(), expected.at(index).size());
            for (int point = 0; point < points.size(); ++point)
                QCOMPARE(points.at(point).y(), expected.at(index).at(point));
        }
        // The freezer's first record, 08:05.
        QCOMPARE(qint64(qobject_cast<QLineSeries *>(series.at(1))->at(0).x()), At(8, 5).toMSecsSinceEpoch());
        QTEST(view.OverlayChart()->title(), "title");
    }

    // One device picked draws one line; a channel the other model lacks is
    // not drawn for it.
    void overlayOfOneDevice()
    {
        THistoryArchive archive(m_folder.filePath(QStringLiteral("archive.sqlite")));
        THistoryArchiveView view(&archive);
        view.Retranslate(ConstLang::Chinese);
        QVERIFY(view.SelectDevice(kFreezer));
        QVERIFY(view.SelectChannel(0));
        QTest::mouseClick(view.btn_ArchiveOverlay, Qt::LeftButton);
        QCOMPARE(view.OverlayChart()->series().size(), 1);
        QCOMPARE(view.OverlayChart()->series().at(0)->name(), kFreezer);
        QCOMPARE(view.OverlayChart()->title(), QStringLiteral("1台设备的温度1"));
        // The title follows the language.
        view.Retranslate(ConstLang::English);
        QCOMPARE(view.OverlayChart()->title(), QStringLiteral("Temperature1 of 1 devices"));
    }

    // A log longer than a device holds draws its latest 20000 records, and
    // the title says so.
    void overlayOfALongLog()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        THistoryArchive archive(folder.filePath(QStringLiteral("long.sqlite")));
        QCOMPARE(archive.Open(), THistoryArchive::TStatus::Ready);
        QVector<TArchivedRecord> records;
        records.reserve(20001);
        // One a minute from 2024-03-01 00:00 on (about 14 days); the first
        // is 1.0 °C, the others 3.0 °C.
        for (int index = 0; index < 20001; ++index) {
            const int minutes = index;
            TArchivedRecord record = Record(index + 1, 0, 0, index == 0 ? 10 : 30, 500);
            const QDateTime at = QDateTime(QDate(2024, 3, 1), QTime(0, 0)).addSecs(60 * minutes);
            record.raw[6] = char(at.date().day());
            record.raw[7] = char(at.time().hour());
            record.raw[8] = char(at.time().minute());
            records << record;
        }
        QCOMPARE(archive.Store(kFridge, QStringLiteral("K801"), records, At(23, 0)), 20001);
        THistoryArchiveView view(&archive);
        view.Retranslate(ConstLang::English);
        QVERIFY(view.SelectDevice(kFridge));
        QVERIFY(view.SelectChannel(0));
        view.btn_ArchiveOverlay->click();
        QCOMPARE(view.OverlayChart()->title(),
                 QStringLiteral("Temperature1 of 1 devices (the latest 20000 records of each)"));
        auto *line = qobject_cast<QLineSeries *>(view.OverlayChart()->series().at(0));
        QVERIFY(line);
        // Thinned for the screen, the line still starts at the second record
        // (00:01) and never shows the first one's 1.0 °C.
        QCOMPARE(qint64(line->at(0).x()), At(0, 1).toMSecsSinceEpoch());
        for (const QPointF &point : line->points())
            QCOMPARE(point.y(), 3.0);
    }

    // At the main window's smallest size and at full HD, in both languages,
    // the buttons keep their width and both the list and the chart keep
    // room. With K80X_GRAB_FOLDER set the window is saved there as a picture.
    void fitsTheWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        QTest::newRow("English 860x560") << int(ConstLang::English) << QSize(860, 560);
        QTest::newRow("English 1920x1080") << int(ConstLang::English) << QSize(1920, 1080);
        QTest::newRow("Chinese 860x560") << int(ConstLang::Chinese) << QSize(860, 560);
        QTest::newRow("Chinese 1920x1080") << int(ConstLang::Chinese) << QSize(1920, 1080);
    }

    void fitsTheWindow()
    {
        QFETCH(int, language);
        QFETCH(QSize, size);
        THistoryArchive archive(m_folder.filePath(QStringLiteral("archive.sqlite")));
        THistoryArchiveView view(&archive);
        view.Retranslate(language);
        view.resize(size);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.tbl_ArchiveDevices->selectAll();
        QVERIFY(view.SelectChannel(0));
        view.btn_ArchiveOverlay->click();
        QTest::qWait(50);
        for (QPushButton *button : {view.btn_ArchiveOpen, view.btn_ArchiveExport, view.btn_ArchiveDelete,
                                    view.btn_ArchiveClose, view.btn_ArchiveOverlay})
            QVERIFY(button->width() >= button->sizeHint().width());
        QVERIFY(view.tbl_ArchiveDevices->viewport()->height() > 2 * view.tbl_ArchiveDevices->rowHeight(0));
        QVERIFY(view.OverlayChart()->plotArea().width() > 300);
        QVERIFY(view.OverlayChart()->plotArea().height() > 100);
        const QString folder = qEnvironmentVariable("K80X_GRAB_FOLDER");
        if (!folder.isEmpty()) {
            QVERIFY(view.grab().save(folder + QStringLiteral("/archive_fleet_%1_%2x%3.png")
                                                  .arg(language == ConstLang::Chinese ? QStringLiteral("zh")
                                                                                      : QStringLiteral("en"))
                                                  .arg(size.width())
                                                  .arg(size.height())));
        }
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(TestArchiveFleetView)
#include "tst_ArchiveFleetView.moc"
