// The file dialogs start in the folder last used for their kind of file,
// remembered between runs, else in the user's Documents folder; never in
// the program's own folder.
#include "dialogs/FileDialogs_Frm.h"

#include <QApplication>
#include <QFileDialog>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestFileDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString Documents()
    {
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The program's settings file of this run lies in the test's folder.
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toLocal8Bit());
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("k80x-test-folders"));
        QDir().mkpath(Documents());
        QSettings(QCoreApplication::applicationName(), QCoreApplication::applicationName()).clear();
    }

    void startFolder_data()
    {
        QTest::addColumn<QString>("remembered"); // relative to the test folder; "-" none, "?" one that is gone
        QTest::addColumn<bool>("inDocuments");
        QTest::newRow("nothing remembered") << "-" << true;
        QTest::newRow("remembered folder") << "profiles" << false;
        QTest::newRow("remembered folder that is gone") << "?" << true;
    }

    void startFolder()
    {
        QFETCH(QString, remembered);
        QFETCH(bool, inDocuments);
        QSettings settings(m_dir.filePath(QStringLiteral("k80x.conf")), QSettings::IniFormat);
        settings.clear();
        QString folder;
        if (remembered == QLatin1String("?")) {
            FileFolders::Remember(QStringLiteral("csv"), m_dir.filePath(QStringLiteral("gone/log.csv")), &settings);
        } else if (remembered != QLatin1String("-")) {
            folder = m_dir.filePath(remembered);
            QVERIFY(QDir().mkpath(folder));
            FileFolders::Remember(QStringLiteral("csv"), folder + QStringLiteral("/log.csv"), &settings);
        }
        const QString start = FileFolders::StartFolder(QStringLiteral("csv"), &settings);
        QCOMPARE(start, inDocuments ? Documents() : folder);
        // Each kind has its own folder.
        QCOMPARE(FileFolders::StartFolder(QStringLiteral("profiles"), &settings), Documents());
        QVERIFY(start != QCoreApplication::applicationDirPath());
    }

    // The dialog itself opens where the last file of its kind was chosen,
    // and a new run (a new settings object on the same file) remembers it.
    void dialogOpensInTheRememberedFolder()
    {
        const QString folder = m_dir.filePath(QStringLiteral("exports"));
        QVERIFY(QDir().mkpath(folder));
        FileFolders::Remember(QStringLiteral("profiles"), folder + QStringLiteral("/cold-room.ini"));
        const TFileDialogSpec spec{"dlgTest", QStringLiteral("*.ini"), false, false, "profiles"};
        QString shownIn;
        QTimer::singleShot(0, [&shownIn] {
            for (QWidget *widget : QApplication::topLevelWidgets()) {
                if (auto *dialog = qobject_cast<QFileDialog *>(widget)) {
                    shownIn = dialog->directory().absolutePath();
                    dialog->reject();
                }
            }
        });
        QCOMPARE(ChooseFileToOpen(nullptr, spec, FileFolders::StartFolder(QStringLiteral("profiles"))), QString());
        QCOMPARE(shownIn, folder);
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_FileDialogs.moc"
