// Profiles written elsewhere: other time formats, quoted values, relay and
// sensor rows whose captions differ from the window's. Each case is a small
// INI file loaded into a main window logged in to a simulated K801.
#include "app/K900_Frm.h"
#include "look/ComponentEx.h"
#include "profiles/IniFile_Unt.h"
#include "profiles/IniSeting_Unt.h"
#include "fixtures/MainWindowFixture.h"
#include "fixtures/TestFiles.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

#include <memory>

using namespace MainWindowFixture;

using namespace TestFiles;

namespace {

const QString kOld = QStringLiteral("old");

// What a control shows, by the names the checks use: a Value control's
// name, or "lvX/row" for the first sub-item of a list row.
QString Shown(const TFormK900 &window, const QString &name)
{
    if (name.startsWith(QLatin1String("lv"))) {
        const QStringList parts = name.split(QLatin1Char('/'));
        const auto *view = window.findChild<QTreeWidget *>(parts.at(0));
        const QTreeWidgetItem *row = view ? view->topLevelItem(parts.at(1).toInt()) : nullptr;
        return row ? row->text(1) : QStringLiteral("<no row>");
    }
    QWidget *control = window.findChild<QWidget *>(name);
    if (auto *edit = qobject_cast<TLabeledEdit *>(control))
        return edit->text();
    if (auto *box = qobject_cast<QCheckBox *>(control))
        return box->isChecked() ? QStringLiteral("ticked") : QStringLiteral("unticked");
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return QString::number(combo->currentIndex());
    if (auto *picker = qobject_cast<QTimeEdit *>(control))
        return picker->time().toString(QStringLiteral("H:mm:ss"));
    return QStringLiteral("<no control>");
}

} // namespace

class TestProfileSources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_window = ConnectedWindow(QStringLiteral("K801"));
        QVERIFY(m_window);
        m_profile = m_window->Profiles();
    }

    void cleanupTestCase()
    {
        m_profile = nullptr;
        m_window.reset();
    }

    // Relay and sensor rows start each case with "old" names.
    void init()
    {
        for (const char *name : {"lvDo", "lvTh"}) {
            auto *view = m_window->findChild<QTreeWidget *>(QString::fromLatin1(name));
            for (int row = 0; row < view->topLevelItemCount(); ++row)
                view->topLevelItem(row)->setText(1, kOld);
        }
    }

    void load_data()
    {
        QTest::addColumn<QString>("ini");
        QTest::addColumn<QStringList>("shown");     // name=text after the load
        QTest::addColumn<QStringList>("unmatched"); // rows the load names

        // Times as PCs with other settings write them.
        QTest::newRow("12-hour morning") << "[Value]\ndtp_RePortTime=9:05:00 AM\n"
                                         << QStringList{"dtp_RePortTime=9:05:00"} << QStringList{};
        QTest::newRow("12-hour afternoon") << "[Value]\ndtp_RePortTime=1:30:00 PM\n"
                                           << QStringList{"dtp_RePortTime=13:30:00"} << QStringList{};
        QTest::newRow("12-hour, lower case, no seconds") << "[Value]\ndtp_RePortTime=12:15 pm\n"
                                                         << QStringList{"dtp_RePortTime=12:15:00"} << QStringList{};
        QTest::newRow("12 AM is midnight") << "[Value]\ndtp_RePortTime=12:00:00 AM\n"
                                           << QStringList{"dtp_RePortTime=0:00:00"} << QStringList{};
        QTest::newRow("Chinese afternoon marker first") << "[Value]\ndtp_RePortTime=下午 1:30:00\n"
                                                        << QStringList{"dtp_RePortTime=13:30:00"} << QStringList{};
        QTest::newRow("24-hour as written here") << "[Value]\ndtp_RePortTime=21:07:08\n"
                                                 << QStringList{"dtp_RePortTime=21:07:08"} << QStringList{};

        // One surrounding pair of double quotes.
        QTest::newRow("quoted text") << "[Value]\nlbledt_Master_DevDes=\"Cold room\"\n"
                                     << QStringList{"lbledt_Master_DevDes=Cold room"} << QStringList{};
        QTest::newRow("only one pair removed") << "[Value]\nlbledt_Master_DevDes=\"\"x\"\"\n"
                                               << QStringList{"lbledt_Master_DevDes=\"x\""} << QStringList{};
        QTest::newRow("a quote on one side stays") << "[Value]\nlbledt_Master_DevDes=\"Cold\n"
                                                   << QStringList{"lbledt_Master_DevDes=\"Cold"} << QStringList{};
        QTest::newRow("quoted number, box, index and time")
            << "[Value]\nlbledt_DeviseID=\"12\"\nchk_Auto_Armed=\"1\"\ncbb_GPRS_TcpUdp=\"1\"\n"
               "dtp_RePortTime=\"9:05:00 PM\"\n"
            << QStringList{"lbledt_DeviseID=12", "chk_Auto_Armed=ticked", "cbb_GPRS_TcpUdp=1",
                           "dtp_RePortTime=21:05:00"}
            << QStringList{};

        // Rows matched by their position when their captions differ.
        QTest::newRow("renamed relay rows") << "[lvDo]\nRelay A=Pump^\nRelay B=Fan^\n"
                                            << QStringList{"lvDo/0=Pump", "lvDo/1=Fan"} << QStringList{};
        QTest::newRow("sensor rows of an older tool")
            << "[lvTh]\nTemp1=a^\nHum1=b^\nTemp2=c^\nHum2=d^\nTemp3=e^\nHum3=f^\nTemp4=g^\nHum4=h^\n"
            << QStringList{"lvTh/0=a", "lvTh/1=b", "lvTh/6=g", "lvTh/7=h"} << QStringList{};
        QTest::newRow("Chinese captions in an English window")
            << "[lvDo]\n继电器2=Fan^\n继电器1=Pump^\n[lvTh]\n湿度1=b^\n温度1=a^\n"
            << QStringList{"lvDo/0=Pump", "lvDo/1=Fan", "lvTh/0=a", "lvTh/1=b", "lvTh/2=old"}
            << QStringList{"Temperature2", "Humidity2", "Temperature3", "Humidity3", "Temperature4", "Humidity4"};
        QTest::newRow("K803 sensor rows go to their own captions only")
            << "[lvTh]\nTemperature1=a^\nTemperature2=b^\nTemperature3=c^\nTemperature4=d^\n"
               "Temperature5=e^\nTemperature6=f^\nTemperature7=g^\nTemperature8=h^\n"
            << QStringList{"lvTh/0=a", "lvTh/1=old", "lvTh/2=b", "lvTh/6=d", "lvTh/7=old"}
            << QStringList{"Humidity1", "Humidity2", "Humidity3", "Humidity4"};
        QTest::newRow("a row missing from its section") << "[lvDo]\nDOUT1=Pump^\n"
                                                        << QStringList{"lvDo/0=Pump", "lvDo/1=old"}
                                                        << QStringList{"DOUT2"};
        QTest::newRow("no section, nothing named") << "[Value]\nlbledt_DeviseID=7\n"
                                                   << QStringList{"lvDo/0=old", "lvTh/0=old"} << QStringList{};
    }

    void load()
    {
        QFETCH(QString, ini);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, unmatched);
        const QString fileName = m_dir.filePath(QStringLiteral("%1.ini").arg(QTest::currentDataTag()));
        QVERIFY(WriteGbk(fileName, ini));

        const TProfileResult result = m_profile->LoadProfile(fileName);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        for (const QString &check : shown) {
            const qsizetype equals = check.indexOf(QLatin1Char('='));
            QCOMPARE(Shown(*m_window, check.left(equals)), check.mid(equals + 1));
        }
        QCOMPARE(result.unmatchedRows, unmatched);
    }

    // Opening such a profile from the menu names the rows left as they were.
    void openMenuNamesUnmatchedRows()
    {
        const QString fileName = m_dir.filePath(QStringLiteral("partial.ini"));
        QVERIFY(WriteGbk(fileName, QStringLiteral("[lvDo]\nDOUT1=Pump^\n")));
        m_profile->ChooseOpenFile = [fileName](const QString &) { return fileName; };
        QSignalSpy shown(m_profile, &TIniSeting::MessageShown);
        m_profile->N_OpenClick();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().at(0).toString(),
                 QStringLiteral("The profile holds no values for these rows, which were left as they were: DOUT2"));
    }

    // The PC's own long and short time formats, whatever the locale.
    void systemTimeFormats_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QTime>("time");
        QTest::newRow("Finnish long") << "fi_FI" << "21.07.08" << QTime(21, 7, 8);
        QTest::newRow("US long") << "en_US" << "9:07:08 PM" << QTime(21, 7, 8);
        QTest::newRow("German short") << "de_DE" << "21:07" << QTime(21, 7);
        QTest::newRow("Chinese long") << "zh_CN" << "21:07:08" << QTime(21, 7, 8);
        QTest::newRow("hour 13 with PM") << "en_US" << "13:00 PM" << QTime();
        QTest::newRow("hour 0 with AM") << "en_US" << "0:30 AM" << QTime();
        QTest::newRow("two markers") << "en_US" << "AM 9:05 PM" << QTime();
        QTest::newRow("minute 60") << "de_DE" << "9:60" << QTime();
        QTest::newRow("words") << "en_US" << "noon" << QTime();
    }
    void systemTimeFormats()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(QTime, time);
        QCOMPARE(ParseProfileTime(text, QLocale(locale)), time);
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TFormK900> m_window;
    TIniSeting *m_profile = nullptr;
};

QTEST_MAIN(TestProfileSources)
#include "tst_ProfileSources.moc"
