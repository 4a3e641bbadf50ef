// The audit trail from the main window: the reason prompt before each
// changing action, the entries the actions leave (outcome in the words the
// window showed), a trail that cannot be written stopping a changing action
// before it sends, and System > Audit Trail with its filter, chain state
// and exports.
#include "audit/AuditRecorder_Unt.h"
#include "audit/AuditTrail_Frm.h"
#include "audit/AuditTrail_Unt.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "dialogs/ReasonPrompt_Frm.h"
#include "fixtures/MainWindowFixture.h"
#include "look/ComponentEx.h"

#include <QAction>
#include "dialogs/MessageBox_Frm.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace MainWindowFixture;

namespace {

constexpr int FlowWaitMs = 60000;
const QString kDescriptionCaption = QStringLiteral("Device description(Max.60 characters)");

TFormReasonPrompt *OpenPrompt(QWidget *window)
{
    for (TFormReasonPrompt *prompt : window->findChildren<TFormReasonPrompt *>()) {
        if (prompt->isVisible())
            return prompt;
    }
    return nullptr;
}

QList<TAuditEntry> Entries()
{
    TAuditTrail trail;
    return trail.Open() == TAuditTrail::TStatus::Ready ? trail.Entries() : QList<TAuditEntry>();
}

// A K802 window logged in, asking for reasons with its own prompt.
std::unique_ptr<TFormK900> Window()
{
    auto window = std::make_unique<TFormK900>();
    TDeviceSimulator::InstallDemoPorts();
    QSignalSpy known(window.get(), &TFormK900::ModelKnown);
    window->show();
    BeginLogin(*window, QStringLiteral("demo:K802"));
    if (!known.wait(StartUpWaitMs) && known.isEmpty())
        return nullptr;
    window->ApplyLanguage(ConstLang::English);
    if (!QTest::qWaitFor([&window] { return !window->Session()->busy(); }))
        return nullptr;
    return window;
}

} // namespace

class TestAuditWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_backups;

    void Start(TFormK900 &window, const QString &action)
    {
        QMetaObject::invokeMethod(
            &window,
            [&window, action] {
                if (action == QLatin1String("relay"))
                    window.btn_DO1_CloseClick();
                else if (action == QLatin1String("set clock"))
                    window.btn_Main_Timer_WriteClick();
                else if (action == QLatin1String("reset"))
                    window.Pop_RESETClick();
                else
                    window.Pop_WirteMasterClick();
            },
            Qt::QueuedConnection);
    }

    // Reads the settings and types a new description, so that a write changes one field.
    bool PrepareWrite(TFormK900 &window)
    {
        QSignalSpy finished(&window, &TFormK900::FlowFinished);
        window.Pop_ReadMaster_SetingClick();
        if (!finished.wait(FlowWaitMs) || !finished.first().at(0).toBool())
            return false;
        auto *description = window.findChild<TLabeledEdit *>(QStringLiteral("lbledt_Master_DevDes"));
        if (!description)
            return false;
        description->setText(QStringLiteral("Cold room 3"));
        return true;
    }

private slots:
    void initTestCase() { QVERIFY(m_backups.isValid()); }

    void init() { QFile::remove(TAuditTrail::DefaultPath()); }

    void cleanup()
    {
        AuditSettings::SetReasonRequired(false);
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *box = qobject_cast<QMessageBox *>(widget))
                box->close();
        }
    }

    void actionLeavesItsEntries_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<bool>("changesDescription");

        QTest::newRow("relay") << "relay" << "" << "relay-close-1" << "done" << "done" << false;
        QTest::newRow("set clock") << "set clock" << "" << "set-clock" << "done" << "Successfully!" << false;
        QTest::newRow("reset") << "reset" << "" << "reset" << "done" << "Successfully!" << false;
        QTest::newRow("write")
            << "write" << "" << "write" << "done"
            << "The configuration was written and read back: the device holds what the window shows. What it held "
               "before was kept as a backup." << true;
        QTest::newRow("write the device does not keep")
            << "write" << "ignore page 0" << "write" << "failed"
            << "The device does not hold what was written. Fields that differ: " + kDescriptionCaption << true;
    }

    void actionLeavesItsEntries()
    {
        QFETCH(QString, action);
        QFETCH(QString, fault);
        QFETCH(QString, code);
        QFETCH(QString, result);
        QFETCH(QString, outcome);
        QFETCH(bool, changesDescription);

        auto window = Window();
        QVERIFY(window);
        window->Backups() = TBackupStore(m_backups.path());
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        if (action == QLatin1String("write"))
            QVERIFY(PrepareWrite(*window));
        if (fault == QLatin1String("ignore page 0"))
            device->ignoreConfigPageWrites(0);
        const int entriesBefore = Entries().size();
        const int requestsBefore = device->requestLog().size();
        QSignalSpy shown(window.get(), &TFormK900::MessageShown);
        QSignalSpy flow(window.get(), &TFormK900::FlowFinished);

        Start(*window, action);
        TFormReasonPrompt *prompt = nullptr;
        QTRY_VERIFY((prompt = OpenPrompt(window.get())));
        // Nothing goes out while the prompt is up.
        QCOMPARE(device->requestLog().size(), requestsBefore);
        auto *reason = prompt->findChild<QLineEdit *>(QStringLiteral("edt_Reason"));
        QVERIFY(reason);
        QTest::keyClicks(reason, QStringLiteral("sensor swap, ticket 42"));
        prompt->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        if (action == QLatin1String("reset")) {
            QMessageBox *question = nullptr;
            QTRY_VERIFY((question = OpenBox(window.get(), "QuestionBox")));
            // Reset without keeping a backup first: one action, one pair of entries.
            auto *proceed = question->findChild<QPushButton *>(QStringLiteral("btn_Proceed"));
            QVERIFY(proceed);
            proceed->click();
        }
        QTRY_COMPARE_WITH_TIMEOUT(Entries().size(), entriesBefore + 2, FlowWaitMs);

        const QList<TAuditEntry> entries = Entries();
        const TAuditEntry &intent = entries.at(entriesBefore);
        const TAuditEntry &end = entries.at(entriesBefore + 1);
        QCOMPARE(intent.kind, TAuditEntry::TKind::Intent);
        QCOMPARE(intent.action, code);
        QCOMPARE(intent.reason, QStringLiteral("sensor swap, ticket 42"));
        QCOMPARE(end.refers, intent.sequence);
        QCOMPARE(end.result, result);
        QCOMPARE(end.outcomeEn, outcome);
        QCOMPARE(intent.imei, device->imei());
        // The entry says what the window said.
        if (action == QLatin1String("write")) {
            QTRY_COMPARE_WITH_TIMEOUT(flow.count(), 1, FlowWaitMs);
            QCOMPARE(end.outcomeEn, flow.first().at(1).toString());
        } else if (action == QLatin1String("set clock")) {
            // The set's outcome, then the clock as read back after it.
            QTRY_VERIFY(!shown.isEmpty());
            const QString told = shown.last().at(0).toString();
            QVERIFY2(told.startsWith(end.outcomeEn + QStringLiteral(" The device's clock reads ")), qPrintable(told));
        } else if (outcome != QLatin1String("done")) {
            QTRY_VERIFY(!shown.isEmpty());
            QCOMPARE(end.outcomeEn, shown.last().at(0).toString());
        }
        if (changesDescription) {
            QCOMPARE(end.changes.size(), 1);
            QCOMPARE(end.changes.at(0).captionEn, kDescriptionCaption);
            QCOMPARE(end.changes.at(0).after, QStringLiteral("Cold room 3"));
            QVERIFY(end.backupFile.startsWith(QDir::toNativeSeparators(m_backups.path())));
        }
    }

    void requiredReasonKeepsOkDisabled()
    {
        AuditSettings::SetReasonRequired(true);
        auto window = Window();
        QVERIFY(window);
        Start(*window, QStringLiteral("relay"));
        TFormReasonPrompt *prompt = nullptr;
        QTRY_VERIFY((prompt = OpenPrompt(window.get())));
        QPushButton *ok = prompt->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());
        auto *reason = prompt->findChild<QLineEdit *>(QStringLiteral("edt_Reason"));
        QTest::keyClicks(reason, QStringLiteral("   "));
        QVERIFY(!ok->isEnabled());
        QTest::keyClicks(reason, QStringLiteral("door alarm test"));
        QVERIFY(ok->isEnabled());
        ok->click();
        QTRY_COMPARE_WITH_TIMEOUT(Entries().size(), 2, FlowWaitMs);
        QCOMPARE(Entries().first().reason, QStringLiteral("door alarm test"));
    }

    void cancelledPromptSendsNothing()
    {
        auto window = Window();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        const int requestsBefore = device->requestLog().size();
        Start(*window, QStringLiteral("relay"));
        TFormReasonPrompt *prompt = nullptr;
        QTRY_VERIFY((prompt = OpenPrompt(window.get())));
        prompt->reject();
        QTest::qWait(300);
        QCOMPARE(device->requestLog().size(), requestsBefore);
        QCOMPARE(Entries().size(), 0);
    }

    void trailThatCannotBeWrittenStopsTheAction()
    {
        {
            QFile file(TAuditTrail::DefaultPath());
            QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(1024, 'q'));
        }
        auto window = Window();
        QVERIFY(window);
        AnswerReasonsEmpty(*window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        const int requestsBefore = device->requestLog().size();
        window->btn_DO1_CloseClick();
        QTRY_VERIFY(!ErrorBoxText(window.get()).isEmpty());
        const QString text = ErrorBoxText(window.get());
        QVERIFY2(text.startsWith(QStringLiteral("Nothing was sent to the device: ")), qPrintable(text));
        QVERIFY2(text.contains(QDir::toNativeSeparators(TAuditTrail::DefaultPath())), qPrintable(text));
        QTest::qWait(300);
        QCOMPARE(device->requestLog().size(), requestsBefore);
        QCOMPARE(QFileInfo(TAuditTrail::DefaultPath()).size(), 1024);
        QFile::remove(TAuditTrail::DefaultPath());
    }

    void profileLoadIsRecorded()
    {
        auto window = Window();
        QVERIFY(window);
        QTemporaryDir files;
        const QString profile = files.filePath(QStringLiteral("cold-room.ini"));
        QVERIFY(window->Profiles()->SaveProfile(profile).ok());
        window->Profiles()->ChooseOpenFile = [&profile](const QString &) { return profile; };
        window->N_OpenClick();
        QTRY_COMPARE(Entries().size(), 1);
        const TAuditEntry entry = Entries().first();
        QCOMPARE(entry.kind, TAuditEntry::TKind::Event);
        QCOMPARE(entry.action, QStringLiteral("profile-load"));
        QCOMPARE(entry.outcomeEn, QStringLiteral("profile loaded into the window"));
        QCOMPARE(entry.backupFile, QDir::toNativeSeparators(profile));
        QCOMPARE(entry.imei, DemoSimulator(window->ComPort())->imei());
    }

    void auditTrailWindow_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("relayName");
        QTest::addColumn<QString>("intact");
        QTest::addColumn<QString>("altered");
        QTest::newRow("English") << 1 << "DO1 close" << "Chain: intact" << "Chain: entry 1 was altered";
        QTest::newRow("Chinese") << 0 << QString::fromUtf8("闭合继电器1") << QString::fromUtf8("记录链：完好")
                                 << QString::fromUtf8("记录链：第1条记录被改动");
    }

    void auditTrailWindow()
    {
        QFETCH(int, language);
        QFETCH(QString, relayName);
        QFETCH(QString, intact);
        QFETCH(QString, altered);

        auto window = Window();
        QVERIFY(window);
        window->Backups() = TBackupStore(m_backups.path());
        AnswerReasonsEmpty(*window);
        window->btn_DO1_CloseClick();
        QTRY_COMPARE_WITH_TIMEOUT(Entries().size(), 2, FlowWaitMs);
        QVERIFY(PrepareWrite(*window));
        QSignalSpy flow(window.get(), &TFormK900::FlowFinished);
        window->Pop_WirteMasterClick();
        QVERIFY(flow.wait(FlowWaitMs));
        QTRY_COMPARE_WITH_TIMEOUT(Entries().size(), 6, FlowWaitMs);
        window->ApplyLanguage(language);

        auto *menuItem = window->findChild<QAction *>(QStringLiteral("Pop_AuditTrail"));
        QVERIFY(menuItem);
        QCOMPARE(menuItem->text(), language ? QStringLiteral("Audit Trail...") : QString::fromUtf8("审计追踪..."));
        menuItem->trigger();
        TFormAuditTrail *view = nullptr;
        QTRY_VERIFY((view = window->findChild<TFormAuditTrail *>()));
        auto *list = view->findChild<QTreeWidget *>(QStringLiteral("lv_Audit"));
        auto *changes = view->findChild<QTreeWidget *>(QStringLiteral("lv_AuditChanges"));
        auto *chain = view->findChild<QLabel *>(QStringLiteral("lbl_AuditChain"));
        QVERIFY(list && changes && chain);

        // Relay, configuration read, write: one line each.
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(0)->text(3), relayName);
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("K802 %1").arg(DemoSimulator(window->ComPort())->imei()));
        QCOMPARE(chain->text(), intact);
        // The write is selected: its field change shows below.
        QCOMPARE(list->currentItem(), list->topLevelItem(2));
        QCOMPARE(changes->topLevelItemCount(), 1);
        QCOMPARE(changes->topLevelItem(0)->text(2), QStringLiteral("Cold room 3"));
        list->setCurrentItem(list->topLevelItem(0));
        QCOMPARE(changes->topLevelItemCount(), 0);

        // Filters: the device (All + this one) and the dates.
        auto *device = view->findChild<QComboBox *>(QStringLiteral("cbb_AuditDevice"));
        QCOMPARE(device->count(), 2);
        device->setCurrentIndex(1);
        QCOMPARE(list->topLevelItemCount(), 3);
        auto *to = view->findChild<QDateEdit *>(QStringLiteral("dtp_AuditTo"));
        auto *from = view->findChild<QDateEdit *>(QStringLiteral("dtp_AuditFrom"));
        from->setDate(QDate::currentDate().addDays(-2));
        to->setDate(QDate::currentDate().addDays(-1));
        QCOMPARE(list->topLevelItemCount(), 0);
        to->setDate(QDate::currentDate());
        QCOMPARE(list->topLevelItemCount(), 3);

        // The exports write the list as shown.
        QTemporaryDir files;
        const QString csvFile = files.filePath(QStringLiteral("audit.csv"));
        view->ChooseSaveFile = [&csvFile](const QString &, const QString &) { return csvFile; };
        view->findChild<QPushButton *>(QStringLiteral("btn_AuditCsv"))->click();
        QFile csv(csvFile);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines.at(3).contains(QStringLiteral("Cold room 3")));
        QVERIFY(lines.at(1).contains(relayName));
        const QString pdfFile = files.filePath(QStringLiteral("audit.pdf"));
        view->ChooseSaveFile = [&pdfFile](const QString &, const QString &) { return pdfFile; };
        // The message that the CSV was saved holds the windows until it is read.
        QVERIFY(!view->isEnabled());
        TFormMessage::instance()->close();
        QVERIFY(view->isEnabled());
        view->findChild<QPushButton *>(QStringLiteral("btn_AuditPdf"))->click();
        QFile pdf(pdfFile);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QVERIFY(pdf.read(5) == "%PDF-");
        view->close();

        if (!qEnvironmentVariableIsEmpty("K80X_GRAB_FOLDER")) {
            const QString folder = qEnvironmentVariable("K80X_GRAB_FOLDER");
            const QString name = language ? QStringLiteral("en") : QStringLiteral("zh");
            TFormAuditTrail shot(&window->Audit()->Trail(), language);
            shot.show();
            shot.resize(shot.minimumSize());
            QTest::qWait(50);
            shot.grab().save(folder + QStringLiteral("/audit-min-%1.png").arg(name));
            shot.resize(1920, 1080);
            QTest::qWait(50);
            shot.grab().save(folder + QStringLiteral("/audit-1920-%1.png").arg(name));
            TFormReasonPrompt prompt(nullptr, language, true);
            prompt.show();
            QTest::qWait(50);
            prompt.grab().save(folder + QStringLiteral("/reason-%1.png").arg(name));
        }

        // An entry changed by hand shows as altered.
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("edit"));
            db.setDatabaseName(TAuditTrail::DefaultPath());
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE audit SET reason = 'after the fact' WHERE sequence = 1")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("edit"));
        TFormAuditTrail reopened(&window->Audit()->Trail(), language);
        QCOMPARE(reopened.findChild<QLabel *>(QStringLiteral("lbl_AuditChain"))->text(), altered);
    }
};

QTEST_MAIN(TestAuditWindow)
#include "tst_AuditWindow.moc"
