// The history sheet's archive, new-record read and chart page on a main
// window: reads archived and read on from the buttons, an archive opened and
// exported with no device connected, a device's archive deleted after the
// question, the chart drawn from what the grid shows, and a locked archive
// that leaves the read working.
#include "app/K900_Frm.h"
#include "dialogs/MessageBox_Frm.h"
#include "history/HistoryArchiveView_Frm.h"
#include "history/HistoryChart_Frm.h"
#include "history/HistoryCsv_Unt.h"
#include "history/HistorySheet_Frm.h"
#include "lang/ConstLang_Unt.h"
#include "link/SerialPort_Unt.h"
#include "look/ComponentEx.h"
#include "session/DeviceSession_Unt.h"
#include "session/HistoryDownload_Unt.h"
#include "sim/DeviceSimulator_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineSeries>
#include "dialogs/BasicAnimate_Frm.h"
#include <QTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using namespace MainWindowFixture;

namespace {

constexpr int ReadWaitMs = 60000;

QString English(const char *key)
{
    return ConstLang::Text(QString::fromLatin1(key), ConstLang::English);
}

// Waits for the read to end, then closes the message window with its count
// (it keeps the main window disabled until closed).
void WaitForRead(THistorySheet *sheet)
{
    QTest::qWaitFor([sheet] { return !sheet->Reading(); }, ReadWaitMs);
    if (TFormMessage *message = TFormMessage::existingInstance())
        message->close();
}

void WaitForSession(TFormK900 &window)
{
    QTest::qWaitFor([&window] { return !window.Session()->busy(); }, ReadWaitMs);
}

// count K803 records a minute apart, values value0 + slot.
QVector<TArchivedRecord> K803Records(int count)
{
    QVector<TArchivedRecord> records;
    for (int index = 0; index < count; ++index) {
        QByteArray raw(64, char(0xFF));
        qToLittleEndian<quint32>(quint32(index + 1), raw.data());
        const int time[6] = {26, 2, 10, 8 + index / 60, index % 60, 0};
        for (int part = 0; part < 6; ++part)
            raw[4 + part] = char(time[part]);
        raw[10] = char(20);
        raw[11] = char(0x80);
        for (int slot = 0; slot < 16; ++slot)
            qToLittleEndian<qint16>(qint16(100 * slot + index), raw.data() + 12 + 2 * slot);
        raw[44] = char(0);
        records.append({index + 1, raw});
    }
    return records;
}

const QString kStoredImei = QStringLiteral("860000000000001");

} // namespace

class TestHistoryArchiveSheet : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        if (TFormMessage *message = TFormMessage::existingInstance())
            message->close();
    }

    // Read New cannot know where the log ends: its progress window counts
    // the records read instead of creeping through a share of 20000.
    void readNewCountsTheRecordsRead()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        device->setLatencyMs(20);
        sheet->Archive().Open();
        sheet->Archive().DeleteDevice(device->imei());
        WaitForSession(*window);

        QStringList notes;
        int maximum = -1;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (TFormBasicAnimate *progress = TFormBasicAnimate::current()) {
                maximum = progress->sg->maximum();
                if (notes.isEmpty() || notes.last() != progress->Note())
                    notes << progress->Note();
            }
        });
        watch.start(5);
        sheet->btn_ReadHistoryNew->click();
        WaitForRead(sheet);
        watch.stop();
        QCOMPARE(maximum, 0);
        QVERIFY2(notes.size() >= 3, qPrintable(notes.join(QStringLiteral(" | "))));
        QCOMPARE(notes.first(), QStringLiteral("0 records read"));
        QVERIFY2(notes.contains(QStringLiteral("100 records read")), qPrintable(notes.join(QStringLiteral(" | "))));
        WaitForSession(*window);
    }

    // The safe step of Delete All: the new records go to the archive on
    // this PC first, and only then is the device's log erased.
    void deleteAllArchivesFirst()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        const QString imei = device->imei();
        sheet->Archive().Open();
        sheet->Archive().DeleteDevice(imei);
        const int records = device->historyRecordCount();
        QVERIFY(records > 0);
        WaitForSession(*window);

        sheet->btn_Clean_History_DevClick();
        QMessageBox *question = nullptr;
        QTRY_VERIFY((question = MainWindowFixture::OpenBox(window.get(), "QuestionBox")));
        question->findChild<QPushButton *>(QStringLiteral("btn_SafeStep"))->click();
        QTRY_COMPARE_WITH_TIMEOUT(device->historyRecordCount(), 0, 60000);
        QCOMPARE(sheet->Archive().RecordCount(imei), records);
        WaitForSession(*window);
    }

    // Archive first with no archive to keep the records: they are read into
    // the grid, the log is not erased, and the user is told so.
    void deleteAllKeepsTheLogWhenItCannotArchive()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        const int records = device->historyRecordCount();
        QVERIFY(records > 0);
        sheet->Archive().Open();
        sheet->Archive().MarkDamaged(QStringLiteral("damaged for the test"));
        WaitForSession(*window);

        sheet->btn_Clean_History_DevClick();
        QMessageBox *question = nullptr;
        QTRY_VERIFY((question = MainWindowFixture::OpenBox(window.get(), "QuestionBox")));
        question->findChild<QPushButton *>(QStringLiteral("btn_SafeStep"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(MainWindowFixture::ErrorBoxText(window.get()).startsWith(
                                     QStringLiteral("The device's log was not erased")),
                                 60000);
        QCOMPARE(sheet->Grid().LastFilledRow(), records);
        WaitForSession(*window);
        QCOMPARE(device->historyRecordCount(), records);
    }

    void readsAreArchivedAndReadNewTakesOnlyTheNewRecords()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        const QString imei = device->imei();
        sheet->Archive().Open();
        sheet->Archive().DeleteDevice(imei);

        WaitForSession(*window);
        sheet->lbledt_ReadQty->setText(QStringLiteral("200"));
        sheet->btn_ReadHistroyFull->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Grid().LastFilledRow(), 200);
        QCOMPARE(sheet->Archive().RecordCount(imei), 200);

        device->appendHistoryRecords(40);
        const int before = device->requestLog().size();
        WaitForSession(*window);
        sheet->btn_ReadHistoryNew->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Grid().LastFilledRow(), 40);
        QCOMPARE(sheet->Grid().Cell(0, 1), QStringLiteral("201"));
        QCOMPARE(sheet->Grid().RowFields(1),
                 HistoryRecord::RowCells(device->historyRecord(200), 1, THistoryTexts::ForLanguage(1)));
        QCOMPARE(sheet->Archive().RecordCount(imei), 240);
        QCOMPARE(sheet->lbl_HistoryReadState->text(), English("TxtReadNewDone").arg(40));
        // No page before the one holding record 201 was asked for.
        for (int index = before; index < device->requestLog().size(); ++index) {
            const QByteArray request = device->requestLog().at(index);
            if (quint8(request.at(1)) == 131 && quint8(request.at(4)) >= 0x40 && quint8(request.at(5)) == 0)
                QVERIFY(quint8(request.at(4)) - 0x40 >= 50);
        }
        QVERIFY(!sheet->btn_ReadHistoryContinue->isEnabled());
    }

    void aBrokenReadOffersContinue()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K801"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        device->setHistoryRecordCount(100);
        sheet->Archive().Open();
        sheet->Archive().DeleteDevice(device->imei());
        WaitForSession(*window);
        // Page 10 never comes right: the read ends there.
        int answered = 0;
        connect(device, &TDeviceSimulator::requestReceived, this, [&answered, device](const QByteArray &request) {
            if (request.size() > 5 && quint8(request.at(1)) == 131 && quint8(request.at(4)) >= 0x40
                && ++answered == 10)
                device->corruptChecksums(3);
        });
        sheet->lbledt_ReadQty->setText(QStringLiteral("100"));
        sheet->btn_ReadHistroyFull->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Grid().LastFilledRow(), 36);
        QVERIFY(sheet->btn_ReadHistoryContinue->isEnabled());
        QCOMPARE(sheet->lbl_HistoryReadState->text(), English("TxtReadStoppedAt").arg(10).arg(36));
        if (QMessageBox *box = OpenBox(window.get(), "ErrorBox"))
            box->close();

        disconnect(device, nullptr, this, nullptr);
        WaitForSession(*window);
        sheet->btn_ReadHistoryContinue->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Grid().LastFilledRow(), 100);
        QCOMPARE(sheet->Grid().RowFields(37),
                 HistoryRecord::RowCells(device->historyRecord(36), 0, THistoryTexts::ForLanguage(1)));
        QVERIFY(!sheet->btn_ReadHistoryContinue->isEnabled());
        QCOMPARE(sheet->Archive().RecordCount(device->imei()), 100);
    }

    void theArchiveOpensExportsAndDeletesWithoutADevice()
    {
        std::unique_ptr<TFormK900> window = ViewWindow();
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        QCOMPARE(sheet->Archive().Open(), THistoryArchive::TStatus::Ready);
        sheet->Archive().DeleteDevice(kStoredImei);
        const QVector<TArchivedRecord> records = K803Records(30);
        QCOMPARE(sheet->Archive().Store(kStoredImei, QStringLiteral("K803"), records), 30);

        sheet->btn_HistoryArchive->click();
        THistoryArchiveView *view = sheet->ArchiveView();
        QVERIFY(view && view->isVisible());
        QVERIFY(view->SelectDevice(kStoredImei));
        QCOMPARE(view->CurrentModel(), QStringLiteral("K803"));
        const int row = view->tbl_ArchiveDevices->currentRow();
        QCOMPARE(view->tbl_ArchiveDevices->item(row, 2)->text(), QStringLiteral("30"));

        view->btn_ArchiveOpen->click();
        THistoryGridModel &grid = sheet->Grid();
        QCOMPARE(grid.ColCount(), 16);
        QCOMPARE(grid.LastFilledRow(), 30);
        QCOMPARE(grid.Cell(0, 30), QStringLiteral("30"));
        QCOMPARE(grid.RowFields(1),
                 HistoryRecord::RowCells(records.first().raw, 2, THistoryTexts::ForLanguage(1)));
        // K803 shows the temperatures: slots 0, 2, 4 ... of record 30 (index 29).
        QCOMPARE(grid.Cell(9, 30), QStringLiteral("22.9"));

        // The chart draws what the grid shows.
        sheet->ShowChart();
        THistoryChart *chart = sheet->Chart();
        QCOMPARE(chart->Data().series.size(), 8);
        QCOMPARE(chart->Line(1)->count(), 30);
        QCOMPARE(chart->Line(1)->at(29).y(), 22.9);
        QVERIFY(!chart->Data().series.at(1).humidity);

        // Export writes the file the grid's export would.
        QTemporaryDir dir;
        sheet->ChooseSaveFile = [&dir](const QString &, const QString &) {
            return dir.filePath(QStringLiteral("archive"));
        };
        view->btn_ArchiveExport->click();
        const QString exported = dir.filePath(QStringLiteral("archive.csv"));
        QVERIFY(THistoryCsv::Export(grid, dir.filePath(QStringLiteral("grid.csv"))));
        QFile a(exported), b(dir.filePath(QStringLiteral("grid.csv")));
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray bytes = a.readAll();
        QCOMPARE(bytes, b.readAll());
        QVERIFY(bytes.startsWith("26/2/10,8:0:0,20,Arm,Open,Open,Interval,0.0,20.0,"));

        // Delete asks; No keeps the records, Yes removes them.
        view->btn_ArchiveDelete->click();
        QMessageBox *question = OpenBox(view, "QuestionBox");
        QVERIFY(question);
        QVERIFY(question->text().contains(kStoredImei));
        question->button(QMessageBox::No)->click();
        QCOMPARE(sheet->Archive().RecordCount(kStoredImei), 30);
        view->btn_ArchiveDelete->click();
        question = OpenBox(view, "QuestionBox");
        QVERIFY(question);
        question->button(QMessageBox::Yes)->click();
        QCOMPARE(sheet->Archive().RecordCount(kStoredImei), 0);
        QVERIFY(!view->SelectDevice(kStoredImei));
    }

    // Damage no opening sees: the read still fills the grid, the archive
    // says it is damaged and nothing is written into it.
    void aDamagedArchiveLeavesTheReadWorking()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        const QString path = sheet->Archive().Path();
        QCOMPARE(sheet->Archive().Open(), THistoryArchive::TStatus::Ready);
        sheet->Archive().DeleteDevice(device->imei());
        QCOMPARE(sheet->Archive().Store(device->imei(), QStringLiteral("K802"), K803Records(8)), 8);
        sheet->Archive().Close();
        {
            const QString other = QStringLiteral("damaging-program");
            QList<qint64> offsets;
            qint64 pageSize = 0;
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), other);
                db.setDatabaseName(path);
                QVERIFY(db.open());
                QSqlQuery query(db);
                QVERIFY(query.exec(QStringLiteral("PRAGMA page_size")) && query.next());
                pageSize = query.value(0).toLongLong();
                QVERIFY(query.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE type = 'index'")));
                while (query.next())
                    offsets << (query.value(0).toLongLong() - 1) * pageSize;
                db.close();
            }
            QSqlDatabase::removeDatabase(other);
            QVERIFY(!offsets.isEmpty());
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            for (const qint64 offset : offsets) {
                QVERIFY(file.seek(offset));
                file.write(QByteArray(int(pageSize), '\0'));
            }
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        QSignalSpy messages(sheet, &THistorySheet::MessageShown);
        WaitForSession(*window);
        sheet->lbledt_ReadQty->setText(QStringLiteral("20"));
        sheet->btn_ReadHistroyFull->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Grid().LastFilledRow(), 20);
        QCOMPARE(sheet->Archive().Status(), THistoryArchive::TStatus::Corrupt);
        const QString corrupt = English("MsgArchiveCorrupt").arg(QDir::toNativeSeparators(path));
        bool told = false;
        for (const QList<QVariant> &message : messages)
            told = told || message.at(0).toString().contains(corrupt);
        QVERIFY(told);
        sheet->Archive().Close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();
        // The tests after this one start from a sound archive.
        QVERIFY(QFile::remove(path));
    }

    // More records than the grid holds: the grid shows the latest 20000 and
    // says so; the export writes every one of them, oldest first.
    void aWholeArchivedLogIsExportedBeyondTheGrid()
    {
        std::unique_ptr<TFormK900> window = ViewWindow();
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        QCOMPARE(sheet->Archive().Open(), THistoryArchive::TStatus::Ready);
        sheet->Archive().DeleteDevice(kStoredImei);
        const int count = THistoryGridModel::RecordRowCount + 5;
        QVector<TArchivedRecord> records = K803Records(count);
        for (int index = 0; index < count; ++index) {
            const int time[6] = {26, 2, 1 + index / 1440, (index / 60) % 24, index % 60, 0};
            for (int part = 0; part < 6; ++part)
                records[index].raw[4 + part] = char(time[part]);
        }
        QCOMPARE(sheet->Archive().Store(kStoredImei, QStringLiteral("K803"), records), count);

        QSignalSpy messages(sheet, &THistorySheet::MessageShown);
        sheet->btn_HistoryArchive->click();
        THistoryArchiveView *view = sheet->ArchiveView();
        QVERIFY(view && view->SelectDevice(kStoredImei));
        view->btn_ArchiveOpen->click();
        QCOMPARE(sheet->Grid().LastFilledRow(), THistoryGridModel::RecordRowCount);
        QCOMPARE(sheet->Grid().Cell(0, 1), QStringLiteral("6"));
        QCOMPARE(messages.size(), 1);
        QCOMPARE(messages.at(0).at(0).toString(),
                 English("MsgArchiveTooMany").arg(count).arg(THistoryGridModel::RecordRowCount));

        QTemporaryDir dir;
        sheet->ChooseSaveFile = [&dir](const QString &, const QString &) {
            return dir.filePath(QStringLiteral("whole"));
        };
        // The message keeps the windows disabled until it is closed.
        if (TFormMessage *message = TFormMessage::existingInstance())
            message->close();
        QVERIFY(view->btn_ArchiveExport->isEnabled());
        view->btn_ArchiveExport->click();
        QCOMPARE(messages.size(), 1);
        QFile file(dir.filePath(QStringLiteral("whole.csv")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        QCOMPARE(lines.size(), count);
        QVERIFY2(lines.first().startsWith("26/2/1,0:0:0,20,Arm,"), lines.first().constData());
        QVERIFY2(lines.last().startsWith("26/2/14,21:24:0,20,Arm,"), lines.last().constData());
    }

    void aLockedArchiveLeavesTheReadWorking()
    {
        std::unique_ptr<TFormK900> window = ConnectedWindow(QStringLiteral("K802"));
        QVERIFY(window);
        THistorySheet *sheet = window->History();
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        device->setBaudRate(0);
        {
            THistoryArchive made(sheet->Archive().Path());
            QCOMPARE(made.Open(), THistoryArchive::TStatus::Ready);
        }
        const QString other = QStringLiteral("other-program");
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), other);
            db.setDatabaseName(sheet->Archive().Path());
            QVERIFY(db.open());
            QSqlQuery lock(db);
            QVERIFY(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        }
        QSignalSpy messages(sheet, &THistorySheet::MessageShown);
        WaitForSession(*window);
        sheet->lbledt_ReadQty->setText(QStringLiteral("20"));
        sheet->btn_ReadHistroyFull->click();
        WaitForRead(sheet);
        QCOMPARE(sheet->Grid().LastFilledRow(), 20);
        QVERIFY(!sheet->Download()->Archiving());
        // The archive's trouble, then the count of records read.
        QCOMPARE(messages.count(), 2);
        const QString text = messages.at(0).at(0).toString();
        QVERIFY2(text.startsWith(English("MsgArchiveLocked").arg(QDir::toNativeSeparators(sheet->Archive().Path()))),
                 qPrintable(text));
        QVERIFY(text.endsWith(English("MsgArchiveReadWithout")));
        {
            QSqlDatabase db = QSqlDatabase::database(other, false);
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
            db.close();
        }
        QSqlDatabase::removeDatabase(other);
    }
};

QTEST_MAIN(TestHistoryArchiveSheet)
#include "tst_HistoryArchiveSheet.moc"
