#include "base/Funs_Unt.h"
#include "platform/Platform_Unt.h"
#include "platform/PortList_Unt.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList FileLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

class tst_Platform : public QObject
{
    Q_OBJECT

private slots:
    void readSerialPortListReplacesContent();
    void init();
    void cleanup();

    void autoStartValueName_data();
    void autoStartValueName();
    void localeIsChinesePRC_data();
    void localeIsChinesePRC();
    void desktopEntryExec_data();
    void desktopEntryExec();
    void desktopFilePath_data();
    void desktopFilePath();
    void autoStartEntryWrittenAndRemoved();
    void setAutoStartNamesThisProgram();
    void autoStartReportsUnwritableFolder();
    void autoStartReportsUnremovableEntry();

private:
    QByteArray m_savedConfigHome;
    QByteArray m_savedHome;
    QTemporaryDir m_temporary;
};

void tst_Platform::init()
{
    m_savedConfigHome = qgetenv("XDG_CONFIG_HOME");
    m_savedHome = qgetenv("HOME");
}

void tst_Platform::cleanup()
{
    if (m_savedConfigHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_savedConfigHome);
    qputenv("HOME", m_savedHome);
}

void tst_Platform::autoStartValueName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lower-case .exe removed")
        << QStringLiteral("C:\\Program Files\\K80x\\K80x.exe")
        << QStringLiteral("C:\\Program Files\\K80x\\K80x");
    QTest::newRow("upper-case .EXE kept") << QStringLiteral("C:\\Tools\\K80X.EXE")
                                          << QStringLiteral("C:\\Tools\\K80X.EXE");
    QTest::newRow("mixed-case .Exe kept") << QStringLiteral("C:\\Tools\\K80x.Exe")
                                          << QStringLiteral("C:\\Tools\\K80x.Exe");
    QTest::newRow("every .exe removed") << QStringLiteral("D:\\old.exe.files\\K80x.exe")
                                        << QStringLiteral("D:\\old.files\\K80x");
}

void tst_Platform::autoStartValueName()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(AutoStartValueName(path), expected);
}

void tst_Platform::localeIsChinesePRC_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("chinese");

    QTest::newRow("zh_CN") << QStringLiteral("zh_CN") << true;
    QTest::newRow("zh_TW") << QStringLiteral("zh_TW") << false;
    QTest::newRow("zh_HK") << QStringLiteral("zh_HK") << false;
    QTest::newRow("zh_SG") << QStringLiteral("zh_SG") << false;
    QTest::newRow("en_US") << QStringLiteral("en_US") << false;
    QTest::newRow("en_CN") << QStringLiteral("en_CN") << false;
    QTest::newRow("C") << QStringLiteral("C") << false;
}

void tst_Platform::localeIsChinesePRC()
{
    QFETCH(QString, name);
    QFETCH(bool, chinese);
    QCOMPARE(LocaleIsChinesePRC(QLocale(name)), chinese);
}

void tst_Platform::desktopEntryExec_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("execLine");

    QTest::newRow("plain") << QStringLiteral("/opt/k80x/k80x")
                           << QStringLiteral("Exec=\"/opt/k80x/k80x\"");
    QTest::newRow("blank in path") << QStringLiteral("/home/li lei/k80x")
                                   << QStringLiteral("Exec=\"/home/li lei/k80x\"");
    QTest::newRow("dollar") << QStringLiteral("/tmp/$x/k80x")
                            << QStringLiteral("Exec=\"/tmp/\\\\$x/k80x\"");
    QTest::newRow("percent doubled") << QStringLiteral("/tmp/100%/k80x")
                                     << QStringLiteral("Exec=\"/tmp/100%%/k80x\"");
    QTest::newRow("backslash as four") << QStringLiteral("/tmp/a\\b/k80x")
                                       << QStringLiteral("Exec=\"/tmp/a\\\\\\\\b/k80x\"");
    QTest::newRow("double quote") << QStringLiteral("/tmp/a\"b/k80x")
                                  << QStringLiteral("Exec=\"/tmp/a\\\\\"b/k80x\"");
}

void tst_Platform::desktopEntryExec()
{
    QFETCH(QString, path);
    QFETCH(QString, execLine);

    const QStringList lines = AutoStartDesktopEntry(path).split(QLatin1Char('\n'));
    QCOMPARE(lines.value(0), QStringLiteral("[Desktop Entry]"));
    QVERIFY(lines.contains(QStringLiteral("Type=Application")));
    QVERIFY2(lines.contains(execLine), qPrintable(lines.join(QLatin1Char('|'))));
}

void tst_Platform::desktopFilePath_data()
{
    QTest::addColumn<QByteArray>("configHome");
    QTest::addColumn<QString>("expected");

    QTest::newRow("XDG_CONFIG_HOME set") << QByteArray("/srv/config")
                                         << QStringLiteral("/srv/config/autostart/k80x.desktop");
    QTest::newRow("XDG_CONFIG_HOME unset")
        << QByteArray() << QStringLiteral("/home/tester/.config/autostart/k80x.desktop");
    QTest::newRow("XDG_CONFIG_HOME relative")
        << QByteArray("config") << QStringLiteral("/home/tester/.config/autostart/k80x.desktop");
}

void tst_Platform::desktopFilePath()
{
    QFETCH(QByteArray, configHome);
    QFETCH(QString, expected);

    qputenv("HOME", "/home/tester");
    if (configHome.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", configHome);
    QCOMPARE(AutoStartDesktopFilePath(QStringLiteral("/opt/k80x/k80x")), expected);
}

void tst_Platform::autoStartEntryWrittenAndRemoved()
{
#ifdef Q_OS_WIN
    QSKIP("the registry entry needs administrator rights");
#else
    QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString executable = QStringLiteral("/opt/k80x/k80x");
    const QString entry = config.filePath(QStringLiteral("autostart/k80x.desktop"));

    QString error;
    QVERIFY2(WriteAutoStartEntry(executable, true, &error), qPrintable(error));
    QVERIFY(FileLines(entry).contains(QStringLiteral("Exec=\"/opt/k80x/k80x\"")));

    // Writing again replaces the entry.
    QVERIFY2(WriteAutoStartEntry(executable, true, &error), qPrintable(error));
    QCOMPARE(FileLines(entry).filter(QStringLiteral("Exec=")).size(), 1);

    QVERIFY2(WriteAutoStartEntry(executable, false, &error), qPrintable(error));
    QVERIFY(!QFileInfo::exists(entry));
    // Removing a missing entry is no failure.
    QVERIFY2(WriteAutoStartEntry(executable, false, &error), qPrintable(error));
#endif
}

void tst_Platform::setAutoStartNamesThisProgram()
{
#ifdef Q_OS_WIN
    QSKIP("the registry entry needs administrator rights");
#else
    QTemporaryDir home;
    QVERIFY(home.isValid());
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const QString program = QCoreApplication::applicationFilePath();
    const QString entry = home.filePath(QStringLiteral(".config/autostart/")
                                        + QFileInfo(program).fileName()
                                        + QStringLiteral(".desktop"));

    QString error;
    QVERIFY2(SetAutoStart(true, &error), qPrintable(error));
    const QStringList lines = FileLines(entry);
    QVERIFY2(lines.contains(QStringLiteral("Exec=\"%1\"").arg(program)),
             qPrintable(lines.join(QLatin1Char('|'))));

    QVERIFY2(SetAutoStart(false, &error), qPrintable(error));
    QVERIFY(!QFileInfo::exists(entry));
#endif
}

void tst_Platform::autoStartReportsUnwritableFolder()
{
#ifdef Q_OS_WIN
    QSKIP("the registry entry needs administrator rights");
#else
    QTemporaryDir base;
    QVERIFY(base.isValid());
    // A plain file where the configuration folder should be: no folder can
    // be made under it, whatever the user's rights.
    const QString blocked = base.filePath(QStringLiteral("config"));
    QFile file(blocked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));

    QString error;
    QVERIFY(!SetAutoStart(true, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.contains(blocked), qPrintable(error));
    QVERIFY(QFileInfo(blocked).isFile());
    // Without an error text the failure is still returned.
    QVERIFY(!SetAutoStart(true));
#endif
}

void tst_Platform::autoStartReportsUnremovableEntry()
{
#ifdef Q_OS_WIN
    QSKIP("the registry entry needs administrator rights");
#else
    QTemporaryDir config;
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QString executable = QStringLiteral("/opt/k80x/k80x");
    // A folder in the entry's place cannot be removed as a file.
    QVERIFY(QDir(config.path()).mkpath(QStringLiteral("autostart/k80x.desktop/inner")));

    QString error;
    QVERIFY(!WriteAutoStartEntry(executable, false, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!WriteAutoStartEntry(executable, true, &error));
    QVERIFY(!error.isEmpty());
#endif
}

void tst_Platform::readSerialPortListReplacesContent()
{
    QStringList list{QStringLiteral("stale entry that is no port")};
    ReadSerialPortList(list);
    QVERIFY(!list.contains(QStringLiteral("stale entry that is no port")));
    QStringList sorted = list;
    SortPortNames(sorted);
    QCOMPARE(list, sorted);
}

QTEST_GUILESS_MAIN(tst_Platform)
#include "tst_Platform.moc"
