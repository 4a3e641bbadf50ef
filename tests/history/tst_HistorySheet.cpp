// The history sheet on a main window connected to the built-in simulated
// logger: reading the log page by page (with lost, broken and split replies),
// the single-record read, the log erase, CSV export and import through the
// sheet's buttons, the date filter and the input checks.
#include "dialogs/FileDialogs_Frm.h"
#include "dialogs/BasicAnimate_Frm.h"
#include "app/K900_Frm.h"
#include "session/DeviceConnection_Unt.h"
#include "dialogs/MessageBox_Frm.h"
#include "history/HistoryFilter_Unt.h"
#include "history/HistorySheet_Frm.h"
#include "session/DeviceRequests_Unt.h"
#include "session/DeviceSession_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "link/HistoryProtocol_Unt.h"
#include "link/SerialPort_Unt.h"
#include "look/ComponentEx.h"
#include "look/Skins_Unt.h"
#include "views/FrameBar_Frm.h"
#include "sim/DeviceSimulator_Unt.h"
#include "fixtures/MainWindowFixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QDateEdit>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>

#include <algorithm>
#include <memory>

using namespace MainWindowFixture;

namespace {

constexpr int ReplyWaitMs = 8000;

// A main window logged in to a simulated logger, with the history sheet on it.
struct TConnectedWindow
{
    std::unique_ptr<TFormK900> window;
    THistorySheet *sheet = nullptr;

    TDeviceSimulator *device() const { return DemoSimulator(window->ComPort()); }
    THistoryGridModel &grid() const { return sheet->Grid(); }
};

bool Connect(TConnectedWindow &connected, const QString &port)
{
    connected.window = std::make_unique<TFormK900>();
    // The window's own sheet: a second one would build its controls into a
    // sheet that already has a layout, which Qt refuses (and the refused
    // layout leaks).
    connected.sheet = connected.window->History();
    return StartMainWindow(*connected.window, port);
}

// The configuration as the window's read of this connection gives it: a
// download then asks for the log's pages only, so a fault set for the next
// reply hits the first page.
void KnowConfiguration(TConnectedWindow &connected)
{
    connected.sheet->SetConfigurationImage(connected.device()->configImage());
}

// The texts the grid row of a device record must show.
QStringList ExpectedRow(const TConnectedWindow &connected, int recordNumber)
{
    return HistoryRecord::RowCells(connected.device()->historyRecord(recordNumber - 1),
                                   connected.window->ModelIndex(),
                                   THistoryTexts::ForLanguage(connected.window->Language()));
}

int PageRequests(const TDeviceSimulator *device, int page)
{
    const QByteArray request = THistoryProtocol().HistoryPageRequest(page);
    return int(device->requestLog().count(request));
}

int AllPageRequests(const TDeviceSimulator *device)
{
    int count = 0;
    for (const QByteArray &request : device->requestLog()) {
        if (request.size() == 9 && quint8(request.at(1)) == TBasicProtocol::CmdReadMemory
            && quint8(request.at(4)) >= 0x40)
            ++count;
    }
    return count;
}

// Starts a read of quantity records once the session is free and returns
// when it has ended.
QString MessageWindowText()
{
    TFormMessage *message = TFormMessage::existingInstance();
    return message && message->isVisible() ? message->lbl_Info->text() : QString();
}

// Reads quantity records. A read that ends normally or by Stop says how many
// records came in the message window; that text is returned and the window
// is answered with OK, as the user would.
QString Read(TConnectedWindow &connected, int quantity)
{
    QTest::qWaitFor([&connected] { return !connected.window->Session()->busy(); }, ReplyWaitMs);
    connected.sheet->lbledt_ReadQty->setText(QString::number(quantity));
    connected.sheet->btn_ReadHistroyFullClick();
    QTest::qWaitFor([&connected] { return !connected.sheet->Reading(); }, 120000);
    const QString said = MessageWindowText();
    if (!said.isEmpty())
        TFormMessage::existingInstance()->sbtbtn_Ok->click();
    return said;
}

void CloseMessageWindow()
{
    if (TFormMessage *message = TFormMessage::existingInstance())
        message->hide();
}

QString English(const char *key)
{
    return ConstLang::Text(QString::fromLatin1(key), ConstLang::English);
}

} // namespace

class TestHistorySheet : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        CloseMessageWindow();
    }

    void controlsAndCaptions()
    {
        TFormK900 window;
        window.Connection()->EnterViewMode();
        THistorySheet *sheet = window.History();
        QWidget *page = window.Sheets().Sheet_History;
        for (const char *name :
             {"grp_History", "lbledt_ReadQty", "lbledt_ReadLine", "btn_ReadHistroyFull",
              "btn_ReadHistroy", "btn_Clean_History_Dev", "btn_History_Clear", "grp_HisTime",
              "lbl_HisStartTime", "lbl_HisStopTime", "dtp_Hist_Begin_Date", "dtp_Hist_Begin_Time",
              "dtp_Hist_End_Date", "dtp_Hist_End_Time", "btn_History_Filter", "grp_HistoryFiles",
              "btn_Hist_Save_CSV", "btn_Hist_Open_CSV", "SgHist"})
            QVERIFY2(page->findChild<QWidget *>(QString::fromLatin1(name)), name);

        QCOMPARE(sheet->lbledt_ReadQty->text(), QStringLiteral("11"));
        QCOMPARE(sheet->lbledt_ReadLine->maxLength(), 6);
        QCOMPARE(sheet->SgHist->model()->rowCount(), 20000);
        QCOMPARE(sheet->SgHist->model()->columnCount(), 320);
        // Rows are never measured one by one: the grid stays light when full.
        QCOMPARE(sheet->SgHist->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
        QCOMPARE(sheet->SgHist->horizontalHeader()->sectionSize(7), 100);

        sheet->Retranslate(ConstLang::Chinese);
        QCOMPARE(sheet->btn_ReadHistroyFull->text(), QStringLiteral("多条"));
        QCOMPARE(sheet->grp_History->title(), QStringLiteral("历史操作"));
        QCOMPARE(sheet->lbledt_ReadQty->labelText(), QStringLiteral("读取数量"));
        QCOMPARE(sheet->Grid().Cell(3, 0), QStringLiteral("信号值"));
        sheet->Retranslate(ConstLang::English);
        QCOMPARE(sheet->btn_Hist_Open_CSV->text(), QStringLiteral("Import CSV"));
        QCOMPARE(sheet->lbl_HisStopTime->text(), QStringLiteral("Stop Time"));
        QCOMPARE(sheet->lbledt_ReadLine->labelText(), QStringLiteral("Lines"));
        QCOMPARE(sheet->Grid().Cell(3, 0), QStringLiteral("Signal"));
        // No model yet: the value columns the grid started with (a K801's)
        // follow the language too.
        QCOMPARE(sheet->Grid().Cell(9, 0), QStringLiteral("Hum1"));
        sheet->Retranslate(ConstLang::Chinese);
        QCOMPARE(sheet->Grid().Cell(9, 0), QStringLiteral("湿度1"));
    }

    // Every field and button under the grid gets at least the size it asks
    // for and lies inside the window, at the smallest window and at
    // 1920 x 1080, in both languages and every skin.
    void controlsUnderTheGridFit_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        QStringList skins{QString()};
        const QDir folder(QStringLiteral(K80X_SKINS_DIR));
        for (const QString &file : folder.entryList({QStringLiteral("*.asz")}, QDir::Files, QDir::Name))
            skins << folder.filePath(file);
        for (const QString &skin : std::as_const(skins)) {
            const QString skinName = skin.isEmpty() ? QStringLiteral("built-in") : TSoftSkins::SkinCaption(skin);
            for (int language : {ConstLang::English, ConstLang::Chinese}) {
                const QString tag = skinName + (language == ConstLang::English ? QStringLiteral(" English")
                                                                               : QStringLiteral(" Chinese"));
                QTest::newRow(qPrintable(tag + QStringLiteral(" smallest"))) << skin << language << QSize();
                QTest::newRow(qPrintable(tag + QStringLiteral(" 1920x1080"))) << skin << language << QSize(1920, 1080);
            }
        }
    }
    void controlsUnderTheGridFit()
    {
        QFETCH(QString, skin);
        QFETCH(int, language);
        QFETCH(QSize, size);
        if (!skin.isEmpty())
            QVERIFY(ApplySkinFile(skin));
        auto window = ViewWindow();
        QVERIFY(window);
        window->ApplyLanguage(language);
        window->resize(size.isValid() ? size : window->minimumSize());
        TFrameBar::SelectPages(window->Sheets(), TFrameBar::SectionPages(5));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTest::qWait(50);
        THistorySheet *sheet = window->History();
        const QRect shown = window->rect();
        for (QWidget *group : {static_cast<QWidget *>(sheet->grp_History), static_cast<QWidget *>(sheet->grp_HisTime),
                               static_cast<QWidget *>(sheet->grp_HistoryFiles)}) {
            const QList<QWidget *> parts = group->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
            for (QWidget *part : parts) {
                if (!part->isVisible() || part->sizeHint().isEmpty())
                    continue;
                const QString name = part->objectName().isEmpty() ? QString::fromLatin1(part->metaObject()->className())
                                                                  : part->objectName();
                QVERIFY2(part->width() >= part->sizeHint().width() && part->height() >= part->sizeHint().height(),
                         qPrintable(QStringLiteral("%1 is %2x%3, needs %4x%5").arg(name).arg(part->width())
                                        .arg(part->height()).arg(part->sizeHint().width()).arg(part->sizeHint().height())));
                const QRect inWindow(part->mapTo(window.get(), QPoint(0, 0)), part->size());
                QVERIFY2(shown.contains(inWindow), qPrintable(name + QStringLiteral(" lies outside the window")));
            }
        }
        if (!qEnvironmentVariableIsEmpty("K80X_GRAB_FOLDER"))
            window->grab().save(qEnvironmentVariable("K80X_GRAB_FOLDER") + QStringLiteral("/history_")
                                + QString::fromUtf8(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'))
                                + QStringLiteral(".png"));
        qApp->setStyleSheet(QString());
    }

    void modelSetsValueColumns_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QString>("lastHeader");

        QTest::newRow("K801") << "demo:K801" << 16 << "Hum4";
        QTest::newRow("K802") << "demo:K802" << 24 << "Hum8";
        QTest::newRow("K803") << "demo:K803" << 16 << "Temp8";
    }

    void modelSetsValueColumns()
    {
        QFETCH(QString, port);
        QFETCH(int, columns);
        QFETCH(QString, lastHeader);

        TConnectedWindow connected;
        QVERIFY(Connect(connected, port));
        QCOMPARE(connected.window->Language(), int(ConstLang::English));
        QCOMPARE(connected.grid().ColCount(), columns);
        QCOMPARE(connected.sheet->SgHist->model()->columnCount(), columns);
        QCOMPARE(connected.grid().Cell(columns - 1, 0), lastHeader);
        QCOMPARE(connected.grid().Cell(0, 0), QStringLiteral("No."));
    }

    void readShowsEveryRecordInOrder_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("page0Requests");

        QTest::newRow("K801, one page") << "demo:K801" << 4 << "" << 1;
        QTest::newRow("K802, part of a third page") << "demo:K802" << 9 << "" << 1;
        QTest::newRow("K803, two pages") << "demo:K803" << 8 << "" << 1;
        QTest::newRow("page 0 lost") << "demo:K802" << 6 << "drop" << 2;
        QTest::newRow("page 0 with a bad checksum") << "demo:K802" << 6 << "checksum" << 2;
        QTest::newRow("page 0 split by a pause") << "demo:K801" << 6 << "split" << 2;
    }

    void readShowsEveryRecordInOrder()
    {
        QFETCH(QString, port);
        QFETCH(int, quantity);
        QFETCH(QString, fault);
        QFETCH(int, page0Requests);

        TConnectedWindow connected;
        QVERIFY(Connect(connected, port));
        TDeviceSimulator *device = connected.device();
        KnowConfiguration(connected);
        if (fault == QLatin1String("drop"))
            device->dropReplies(1);
        else if (fault == QLatin1String("checksum"))
            device->corruptChecksums(1);
        else if (fault == QLatin1String("split"))
            device->splitReplies(1, 150);

        QSignalSpy finished(connected.sheet, &THistorySheet::ReadFinished);
        const QString said = Read(connected, quantity);

        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).toInt(), quantity);
        QCOMPARE(connected.grid().LastFilledRow(), quantity);
        for (int row = 1; row <= quantity; ++row) {
            QCOMPARE(connected.grid().RowFields(row), ExpectedRow(connected, row));
            QCOMPARE(connected.grid().Cell(0, row), QString::number(row));
        }
        QCOMPARE(PageRequests(device, 0), page0Requests);
        QCOMPARE(AllPageRequests(device), TSoftHistory::PageCount(quantity) + page0Requests - 1);
        QVERIFY(!TFormBasicAnimate::current());
        // The read ends with the count and why it ended; its OK gave the
        // window back.
        QCOMPARE(said, English("MsgHistoryRecordsRead").arg(quantity).arg(English("TxtHistoryQuantityRead")));
        QVERIFY(connected.window->isEnabled());
    }

    void pageThatNeverArrivesWholeEndsTheRead()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K802")));
        QSignalSpy messages(connected.sheet, &THistorySheet::MessageShown);
        KnowConfiguration(connected);
        connected.device()->corruptChecksums(DeviceRequests::Attempts);
        Read(connected, 8);

        QCOMPARE(PageRequests(connected.device(), 0), DeviceRequests::Attempts);
        QCOMPARE(PageRequests(connected.device(), 1), 0);
        QCOMPARE(connected.grid().LastFilledRow(), 0);
        QCOMPARE(messages.count(), 1);
        QCOMPARE(messages.at(0).at(0).toString(),
                 English("MsgHistoryReadFailed").arg(1).arg(1).arg(4) + "\n\n"
                     + English("MsgHistoryRecordsRead").arg(0).arg(English("TxtHistoryReadError")));
        QVERIFY(OpenBox(connected.window.get(), "ErrorBox"));
        QVERIFY(!TFormBasicAnimate::current());
    }

    void readStopsAtTheEndOfTheLog()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K801")));
        connected.device()->setHistoryRecordCount(5);
        QCOMPARE(Read(connected, 40),
                 English("MsgHistoryRecordsRead").arg(5).arg(English("TxtHistoryEndOfLog")));

        QCOMPARE(connected.grid().LastFilledRow(), 5);
        for (int row = 1; row <= 5; ++row)
            QCOMPARE(connected.grid().RowFields(row), ExpectedRow(connected, row));
        // Records 6 and 7 are the two empty ones that end the read: page 1
        // holds the first, page 2 the second; nothing after page 2 is asked.
        QCOMPARE(AllPageRequests(connected.device()), 3);
    }

    // A log is written in time order; rows that go back in time are named
    // at the end of the read.
    void recordsOutOfTimeOrderAreNamed()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K802")));
        connected.device()->setHistoryRecordCount(12);
        connected.device()->setHistoryRecord(5, connected.device()->historyRecord(1));
        const QString said = Read(connected, 12);

        QCOMPARE(connected.grid().LastFilledRow(), 12);
        QCOMPARE(THistoryFilter::RowsOutOfTimeOrder(connected.grid(), 12), QList<int>{6});
        QCOMPARE(said, (English("MsgHistoryRecordsRead").arg(12) + "\n"
                        + English("MsgHistoryOutOfOrder").arg(QStringLiteral("6")))
                           .arg(English("TxtHistoryQuantityRead")));
    }

    void newReadDoesNotMixWithTheLastOne()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K802")));
        Read(connected, 12);
        QCOMPARE(connected.grid().LastFilledRow(), 12);
        const QStringList firstReadRow = connected.grid().RowFields(1);

        connected.device()->setHistoryRecordCount(5, 60);
        Read(connected, 12);
        QCOMPARE(connected.grid().LastFilledRow(), 5);
        for (int row = 1; row <= 5; ++row)
            QCOMPARE(connected.grid().RowFields(row), ExpectedRow(connected, row));
        QVERIFY(connected.grid().RowFields(1) != firstReadRow);
        for (int row = 6; row <= 12; ++row)
            QVERIFY(connected.grid().RowFields(row).isEmpty());
    }

    void stopEndsTheRead()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K801")));
        QSignalSpy finished(connected.sheet, &THistorySheet::ReadFinished);
        QTimer::singleShot(600, [] {
            if (TFormBasicAnimate *progress = TFormBasicAnimate::current())
                progress->btn_Close->click();
        });
        const QString said = Read(connected, 200);

        QCOMPARE(finished.count(), 1);
        const int rows = connected.grid().LastFilledRow();
        QCOMPARE(said, English("MsgHistoryRecordsRead").arg(rows).arg(English("TxtHistoryStopped")));
        QVERIFY2(rows < 200, qPrintable(QString::number(rows)));
        QVERIFY(AllPageRequests(connected.device()) < 50);
        for (int row = 1; row <= rows; ++row)
            QCOMPARE(connected.grid().RowFields(row), ExpectedRow(connected, row));
        QVERIFY(!TFormBasicAnimate::current());
        QVERIFY(connected.window->isEnabled());
    }

    void quantityOutOfRange_data()
    {
        QTest::addColumn<QString>("quantity");

        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-3";
        QTest::newRow("above the grid") << "20001";
    }

    void quantityOutOfRange()
    {
        QFETCH(QString, quantity);

        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K802")));
        const int requestsBefore = connected.device()->requestLog().size();
        connected.sheet->lbledt_ReadQty->setText(quantity);
        connected.sheet->btn_ReadHistroyFull->click();

        QCOMPARE(MessageWindowText(), QStringLiteral("Input Error"));
        QCOMPARE(connected.device()->requestLog().size(), requestsBefore);
        QCOMPARE(connected.grid().Cell(0, 1), QStringLiteral("1"));
        QVERIFY(!TFormBasicAnimate::current());
    }

    void singleRecordRead_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("shown");

        QTest::newRow("record 7") << "7" << true;
        QTest::newRow("not a number reads record 1") << "x" << true;
        QTest::newRow("beyond the log") << "500" << false;
    }

    void singleRecordRead()
    {
        QFETCH(QString, line);
        QFETCH(bool, shown);

        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K803")));
        Read(connected, 8);
        QCOMPARE(connected.grid().LastFilledRow(), 8);

        QTRY_VERIFY(!connected.window->Session()->busy());
        const int requestsBefore = connected.device()->requestLog().size();
        connected.sheet->lbledt_ReadLine->setText(line);
        connected.sheet->btn_ReadHistroyClick();
        QTRY_VERIFY_WITH_TIMEOUT(connected.device()->requestLog().size() > requestsBefore
                                     && !connected.window->Session()->busy(),
                                 ReplyWaitMs);

        const int number = TSoftHistory::LineFromText(line);
        if (shown) {
            // The display was cleared for the record.
            QCOMPARE(connected.grid().LastFilledRow(), 1);
            QCOMPARE(connected.grid().RowFields(1), ExpectedRow(connected, number));
            QCOMPARE(connected.grid().Cell(0, 1), QString::number(number));
            QVERIFY(MessageWindowText().isEmpty());
        } else {
            // A record the log does not hold keeps the rows of the last read.
            QCOMPARE(MessageWindowText(), English("MsgRecordMissing").arg(number));
            QCOMPARE(connected.grid().LastFilledRow(), 8);
            QCOMPARE(connected.grid().Cell(0, 1), QStringLiteral("1"));
        }
        // Record 1 and page 0 share their address, so only the requests
        // since the click count.
        const QVector<QByteArray> requests = connected.device()->requestLog().mid(requestsBefore);
        QCOMPARE(requests, QVector<QByteArray>{THistoryProtocol().HistoryRecordRequest(number)});
    }

    void eraseAsksFirst_data()
    {
        QTest::addColumn<bool>("yes");

        QTest::newRow("Yes erases") << true;
        QTest::newRow("No keeps the log") << false;
    }

    void eraseAsksFirst()
    {
        QFETCH(bool, yes);

        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K802")));
        TDeviceSimulator *device = connected.device();
        QVERIFY(device->historyRecordCount() > 0);

        connected.sheet->btn_Clean_History_DevClick();
        QMessageBox *question = nullptr;
        QTRY_VERIFY((question = OpenBox(connected.window.get(), "QuestionBox")));
        // It names what is lost and offers to archive first.
        QVERIFY2(question->text().startsWith(QStringLiteral("Clear All?\n\nEvery record in the device's history log is erased for good")),
                 qPrintable(question->text()));
        QVERIFY(question->findChild<QPushButton *>(QStringLiteral("btn_SafeStep")));
        QCOMPARE(static_cast<QAbstractButton *>(question->defaultButton()),
                 question->button(QMessageBox::Cancel));
        if (!yes) {
            const int requestsBefore = device->requestLog().size();
            question->button(QMessageBox::Cancel)->click();
            QTest::qWait(200);
            QCOMPARE(device->requestLog().size(), requestsBefore);
            QVERIFY(!TFormBasicAnimate::current());
            QCOMPARE(device->historyRecordCount(), TDeviceSimulator::DefaultHistoryRecords);
            return;
        }

        question->findChild<QPushButton *>(QStringLiteral("btn_Proceed"))->click();
        QPointer<TFormBasicAnimate> progress = TFormBasicAnimate::current();
        QVERIFY(progress);
        QCOMPARE(progress->sg->maximum(), 100);
        QSignalSpy gauge(progress->sg, &QProgressBar::valueChanged);
        QTRY_VERIFY_WITH_TIMEOUT(!progress, ReplyWaitMs);

        QList<int> positions;
        for (const QList<QVariant> &change : gauge)
            positions << change.at(0).toInt();
        // The device reports in several steps, each moving the gauge.
        QVERIFY(positions.size() >= 2);
        QCOMPARE(positions.last(), 100);
        QVERIFY(std::is_sorted(positions.begin(), positions.end()));
        QCOMPARE(device->historyRecordCount(), 0);
        QVERIFY(connected.window->isEnabled());

        // The log is empty now: a read finds nothing to show.
        Read(connected, 8);
        QCOMPARE(connected.grid().LastFilledRow(), 0);
    }

    void exportThenImportRestoresTheGrid()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K802")));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Read(connected, 10);
        QCOMPARE(connected.grid().LastFilledRow(), 10);
        QList<QStringList> rowsRead;
        for (int row = 1; row <= 10; ++row)
            rowsRead << connected.grid().RowFields(row);

        QString offeredFolder;
        QString offeredName;
        connected.sheet->ChooseSaveFile = [&](const QString &folder, const QString &defaultName) {
            offeredFolder = folder;
            offeredName = defaultName;
            return dir.filePath(QStringLiteral("history"));
        };
        connected.sheet->btn_Hist_Save_CSV->click();
        QCOMPARE(offeredFolder, FileFolders::StartFolder(QStringLiteral("csv")));
        QVERIFY2(QRegularExpression(QStringLiteral("^K802_\\d{12}$")).match(offeredName).hasMatch(),
                 qPrintable(offeredName));
        const QString written = dir.filePath(QStringLiteral("history.csv"));
        QVERIFY(QFile::exists(written));

        connected.sheet->btn_History_Clear->click();
        QCOMPARE(connected.grid().LastFilledRow(), 0);

        connected.sheet->ChooseOpenFile = [&](const QString &folder) {
            offeredFolder = folder;
            return written;
        };
        connected.sheet->btn_Hist_Open_CSV->click();
        QCOMPARE(offeredFolder, FileFolders::StartFolder(QStringLiteral("csv")));
        QCOMPARE(connected.grid().LastFilledRow(), 10);
        for (int row = 1; row <= 10; ++row)
            QCOMPARE(connected.grid().RowFields(row), rowsRead.at(row - 1));
        QVERIFY(MessageWindowText().isEmpty());
        QVERIFY(!OpenBox(connected.window.get(), "ErrorBox"));
    }

    void failedFileActionsSaySoAndKeepEverything_data()
    {
        QTest::addColumn<bool>("import");
        QTest::addColumn<QString>("messageKey");

        QTest::newRow("import of a missing file") << true << "MsgCsvImportFailed";
        QTest::newRow("export into a missing folder") << false << "MsgCsvExportFailed";
    }

    void failedFileActionsSaySoAndKeepEverything()
    {
        QFETCH(bool, import);
        QFETCH(QString, messageKey);

        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K801")));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        Read(connected, 6);
        QList<QStringList> rowsBefore;
        for (int row = 1; row <= 6; ++row)
            rowsBefore << connected.grid().RowFields(row);

        QSignalSpy messages(connected.sheet, &THistorySheet::MessageShown);
        const QString badPath = import ? dir.filePath(QStringLiteral("missing.csv"))
                                       : dir.filePath(QStringLiteral("no-such-folder/history"));
        connected.sheet->ChooseOpenFile = [&](const QString &) { return badPath; };
        connected.sheet->ChooseSaveFile = [&](const QString &, const QString &) { return badPath; };
        if (import)
            connected.sheet->btn_Hist_Open_CSVClick();
        else
            connected.sheet->btn_Hist_Save_CSVClick();

        QCOMPARE(messages.count(), 1);
        QVERIFY2(messages.at(0).at(0).toString().startsWith(English(qPrintable(messageKey))),
                 qPrintable(messages.at(0).at(0).toString()));
        QVERIFY(OpenBox(connected.window.get(), "ErrorBox"));
        QCOMPARE(connected.grid().LastFilledRow(), 6);
        for (int row = 1; row <= 6; ++row)
            QCOMPARE(connected.grid().RowFields(row), rowsBefore.at(row - 1));
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
    }

    void cancelledDialogsChangeNothing()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K801")));
        Read(connected, 4);
        const QStringList firstRow = connected.grid().RowFields(1);
        QSignalSpy messages(connected.sheet, &THistorySheet::MessageShown);
        connected.sheet->ChooseOpenFile = [](const QString &) { return QString(); };
        connected.sheet->ChooseSaveFile = [](const QString &, const QString &) { return QString(); };
        connected.sheet->btn_Hist_Open_CSVClick();
        connected.sheet->btn_Hist_Save_CSVClick();
        QCOMPARE(messages.count(), 0);
        QCOMPARE(connected.grid().LastFilledRow(), 4);
        QCOMPARE(connected.grid().RowFields(1), firstRow);
    }

    void filterKeepsTheRangeFromThePickers()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K801")));
        Read(connected, 8);
        QList<QStringList> rowsRead;
        for (int row = 1; row <= 8; ++row)
            rowsRead << connected.grid().RowFields(row);

        auto momentOf = [&](int row, QDate *date, QTime *time) {
            return THistoryFilter::RecordTime(connected.grid().Cell(1, row), connected.grid().Cell(2, row),
                                              date, time)
                == THistoryFilter::TRowTime::Valid;
        };
        QDate beginDate, endDate;
        QTime beginTime, endTime;
        QVERIFY(momentOf(3, &beginDate, &beginTime));
        QVERIFY(momentOf(5, &endDate, &endTime));
        connected.sheet->dtp_Hist_Begin_Date->setDate(beginDate);
        connected.sheet->dtp_Hist_Begin_Time->setTime(beginTime);
        connected.sheet->dtp_Hist_End_Date->setDate(endDate);
        connected.sheet->dtp_Hist_End_Time->setTime(endTime);
        connected.sheet->btn_History_Filter->click();

        QCOMPARE(connected.grid().LastFilledRow(), 3);
        for (int row = 1; row <= 3; ++row) {
            QCOMPARE(connected.grid().RowFields(row), rowsRead.at(row + 1));
            QCOMPARE(connected.grid().Cell(0, row), QString::number(row));
        }
        QVERIFY(!TFormBasicAnimate::current());
        QVERIFY(connected.window->isEnabled());
    }

    void portClosedButtonsDoNothing()
    {
        TConnectedWindow connected;
        QVERIFY(Connect(connected, QStringLiteral("demo:K802")));
        connected.window->Pop_DisCommPortClick();
        QSignalSpy finished(connected.sheet, &THistorySheet::ReadFinished);
        connected.sheet->btn_ReadHistroyFullClick();
        connected.sheet->btn_ReadHistroyClick();
        QCOMPARE(finished.count(), 0);
        QVERIFY(!TFormBasicAnimate::current());
        QVERIFY(MessageWindowText().isEmpty());
    }
};

QTEST_MAIN(TestHistorySheet)
#include "tst_HistorySheet.moc"
