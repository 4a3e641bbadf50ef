// The edited mark (" *" after the title, "Edited" on the status bar) follows
// what the user does to the panes, and Load Profile; a read or a write
// clears it; the panes filled by the program leave it as it is.
#include "dialogs/MessageBox_Frm.h"
#include "config/SoftInterfaceMaster_Unt.h"
#include "look/ComponentEx.h"
#include "profiles/IniSeting_Unt.h"
#include "fixtures/MainWindowFixture.h"
#include "fixtures/TestFiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimeEdit>
#include <QTreeWidget>

using namespace MainWindowFixture;

namespace {

constexpr int FlowWaitMs = 20000;

bool MarkShown(const TFormK900 &window)
{
    const auto *label = window.findChild<QLabel *>(QStringLiteral("lbl_Edited"));
    const bool titled = window.windowTitle().endsWith(QStringLiteral(" *"));
    const bool labelled = label && !label->text().isEmpty();
    return titled && labelled;
}

bool NoMark(const TFormK900 &window)
{
    const auto *label = window.findChild<QLabel *>(QStringLiteral("lbl_Edited"));
    return !window.windowTitle().endsWith(QStringLiteral(" *")) && label && label->text().isEmpty();
}

// The "done" message the flows end with is closed, as the user does; it
// keeps the main window disabled while it is up.
void CloseMessage()
{
    if (TFormMessage *message = TFormMessage::existingInstance())
        message->close();
}

QString RunFlow(TFormK900 &window, void (TFormK900::*flow)(), bool *ok)
{
    QSignalSpy finished(&window, &TFormK900::FlowFinished);
    QMetaObject::invokeMethod(&window, [&window, flow] { (window.*flow)(); }, Qt::QueuedConnection);
    if (!finished.wait(FlowWaitMs))
        return QString();
    *ok = finished.first().at(0).toBool();
    CloseMessage();
    return finished.first().at(1).toString();
}

// A window logged in to a simulated K802 whose settings it has read.
std::unique_ptr<TFormK900> ReadWindow()
{
    auto window = ConnectedWindow(QStringLiteral("K802"));
    if (!window || !QTest::qWaitFor([&window] { return !window->Session()->busy(); }, FlowWaitMs))
        return nullptr;
    bool ok = false;
    RunFlow(*window, &TFormK900::Pop_ReadMaster_SetingClick, &ok);
    // The panes take input again once the read and its current values are done.
    const auto *description = window->findChild<TLabeledEdit *>(QStringLiteral("lbledt_Master_DevDes"));
    if (!ok || !QTest::qWaitFor([&] { return !window->Session()->busy() && description->edit()->isEnabled(); },
                                FlowWaitMs))
        return nullptr;
    return window;
}

void TypeInto(TFormK900 &window, const char *name, const QString &text)
{
    auto *labeled = window.findChild<TLabeledEdit *>(QString::fromLatin1(name));
    QVERIFY(labeled);
    labeled->edit()->selectAll();
    QTest::keyClicks(labeled->edit(), text);
}

void Trigger(TFormK900 &window, const char *action)
{
    auto *item = window.findChild<QAction *>(QString::fromLatin1(action));
    QVERIFY(item);
    item->trigger();
}

} // namespace

class TestEditedMark : public QObject
{
    Q_OBJECT

private slots:
    void userEditsSetTheMark_data()
    {
        QTest::addColumn<QString>("edit");
        for (const char *edit : {"typing a description", "typing the GPRS password", "typing the login message",
                                 "ticking arm at power-on", "ticking the power-loss box", "choosing UDP",
                                 "stepping the report time", "clearing the phone list", "clearing the timers",
                                 "clearing the relay rows"})
            QTest::newRow(edit) << QString::fromLatin1(edit);
    }

    void userEditsSetTheMark()
    {
        QFETCH(QString, edit);
        auto window = ReadWindow();
        QVERIFY(window);
        QVERIFY(NoMark(*window));

        if (edit == QLatin1String("typing a description")) {
            TypeInto(*window, "lbledt_Master_DevDes", QStringLiteral("Cold room 4"));
        } else if (edit == QLatin1String("typing the GPRS password")) {
            TypeInto(*window, "lbledt_GPRS_Password", QStringLiteral("secret"));
        } else if (edit == QLatin1String("typing the login message")) {
            TypeInto(*window, "lbledt_GprsRegDat", QStringLiteral("K802-0002"));
        } else if (edit == QLatin1String("ticking arm at power-on")) {
            window->findChild<QCheckBox *>(QStringLiteral("chk_Auto_Armed"))->click();
        } else if (edit == QLatin1String("ticking the power-loss box")) {
            window->findChild<QCheckBox *>(QStringLiteral("chk_PwrOffTime"))->click();
        } else if (edit == QLatin1String("choosing UDP")) {
            auto *combo = window->findChild<QComboBox *>(QStringLiteral("cbb_GPRS_TcpUdp"));
            QCOMPARE(combo->currentIndex(), 0);
            QTest::keyClick(combo, Qt::Key_Down);
            QCOMPARE(combo->currentIndex(), 1);
        } else if (edit == QLatin1String("stepping the report time")) {
            auto *picker = window->findChild<QTimeEdit *>(QStringLiteral("dtp_RePortTime"));
            QVERIFY(picker->isEnabled());
            const QTime before = picker->time();
            QTest::keyClick(picker, Qt::Key_Up);
            QVERIFY(picker->time() != before);
        } else if (edit == QLatin1String("clearing the phone list")) {
            Trigger(*window, "Pop_Phone_Clear");
        } else if (edit == QLatin1String("clearing the timers")) {
            Trigger(*window, "Pop_Timer_Clear");
        } else {
            Trigger(*window, "Pop_Do_Clear");
        }
        QVERIFY(MarkShown(*window));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lbl_Edited"))->text(), QStringLiteral("Edited"));
        QVERIFY(window->EditsUnsaved());

        // The mark is a text of the language as well.
        Switch(*window, ConstLang::Chinese);
        QVERIFY(MarkShown(*window));
        QCOMPARE(window->findChild<QLabel *>(QStringLiteral("lbl_Edited"))->text(), QString::fromUtf8("已修改"));
    }

    // An edit taken back takes the mark with it.
    void editTakenBackClearsTheMark()
    {
        auto window = ReadWindow();
        QVERIFY(window);
        auto *box = window->findChild<QCheckBox *>(QStringLiteral("chk_Auto_Armed"));
        box->click();
        QVERIFY(MarkShown(*window));
        box->click();
        QVERIFY(NoMark(*window));
    }

    void writeAndReadClearTheMark()
    {
        auto window = ReadWindow();
        QVERIFY(window);
        TypeInto(*window, "lbledt_Master_DevDes", QStringLiteral("Written"));
        QVERIFY(MarkShown(*window));
        bool ok = false;
        RunFlow(*window, &TFormK900::Pop_WirteMasterClick, &ok);
        QVERIFY(ok);
        QVERIFY(NoMark(*window));

        TypeInto(*window, "lbledt_Master_DevDes", QStringLiteral("Not written"));
        QVERIFY(MarkShown(*window));
        // Read Setting asks first; Discard lets the read go on.
        QSignalSpy finished(window.get(), &TFormK900::FlowFinished);
        window->Pop_ReadMaster_SetingClick();
        QMessageBox *box = OpenBox(window.get(), "UnsavedEditsBox");
        QVERIFY(box);
        box->button(QMessageBox::Discard)->click();
        QVERIFY(finished.wait(FlowWaitMs));
        QVERIFY(finished.first().at(0).toBool());
        CloseMessage();
        QCOMPARE(window->findChild<TLabeledEdit *>(QStringLiteral("lbledt_Master_DevDes"))->text(),
                 QStringLiteral("Written"));
        QVERIFY(NoMark(*window));
    }

    // After Load Profile the panes hold what the device does not.
    void loadProfileSetsTheMark()
    {
        auto window = ReadWindow();
        QVERIFY(window);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("site.ini"));
        QVERIFY(TestFiles::WriteGbk(file, QStringLiteral("[Value]\nlbledt_DeviseID=77\n[lvTel]\n  1=110^√^\n")));
        window->Profiles()->ChooseOpenFile = [file](const QString &) { return file; };
        window->N_OpenClick();
        QCOMPARE(window->findChild<TLabeledEdit *>(QStringLiteral("lbledt_DeviseID"))->text(), QStringLiteral("77"));
        QVERIFY(MarkShown(*window));
        QVERIFY(window->EditsUnsaved());
    }

    // The panes filled by the program: no edit of the user's.
    void programmaticFillingLeavesNoMark_data()
    {
        QTest::addColumn<QString>("filling");
        QTest::newRow("an image decoded into the panes") << "image";
        QTest::newRow("current values into the lists") << "values";
        QTest::newRow("language switched") << "language";
        QTest::newRow("profile values put back into the panes") << "values to panes";
    }

    void programmaticFillingLeavesNoMark()
    {
        QFETCH(QString, filling);
        auto window = ReadWindow();
        QVERIFY(window);
        TDeviceSimulator *device = DemoSimulator(window->ComPort());
        if (filling == QLatin1String("image")) {
            QByteArray image = device->configImage();
            image[ConfigMap::ArmFlags] = char(quint8(image.at(ConfigMap::ArmFlags)) ^ 0x01);
            image[ConfigMap::AutoArmSwitch] = char(quint8(image.at(ConfigMap::AutoArmSwitch)) ? 0 : 1);
            image[ConfigMap::LoginMode] = char(ConfigMap::LoginModeHex);
            window->Master()->ImageToControls(DecodeImage(image, window->ModelIndex()));
            QVERIFY(window->EditsUnsaved());
        } else if (filling == QLatin1String("values")) {
            QTreeWidgetItem *row = window->Views().lvTh->topLevelItem(0);
            row->setText(ConfigCells::ThValue + 1, QString());
            window->Menu_R_THClick();
            QTRY_VERIFY_WITH_TIMEOUT(!window->Session()->busy() && !row->text(ConfigCells::ThValue + 1).isEmpty(),
                                     FlowWaitMs);
            CloseMessage();
        } else if (filling == QLatin1String("language")) {
            Switch(*window, ConstLang::Chinese);
            Switch(*window, ConstLang::English);
        } else {
            TConfigValues values = window->Master()->ControlsToValues();
            values.Checks[ConfigControls::AutoArmed] = !values.Checked(ConfigControls::AutoArmed);
            values.Checks[ConfigControls::LoginHexMode] = !values.Checked(ConfigControls::LoginHexMode);
            window->Master()->ValuesToControls(values);
            QVERIFY(window->EditsUnsaved());
        }
        QVERIFY(NoMark(*window));
    }
};

QTEST_MAIN(TestEditedMark)
#include "tst_EditedMark.moc"
