#include "base/Funs_Unt.h"
#include "lang/ConstLang_Unt.h"
#include "look/Skins_Unt.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// Writes a skin file whose style sheet names its own relative path, so the
// applied sheet tells which file was taken.
QString WriteSkin(const QDir &root, const QString &relativePath)
{
    const QString path = root.filePath(relativePath);
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write("/* " + relativePath.toUtf8() + " */ QPushButton { color: #123456; }");
    return path;
}

QString SheetOf(const QString &relativePath)
{
    return QStringLiteral("/* %1 */ QPushButton { color: #123456; }").arg(relativePath);
}

QStringList Captions(const QMenu &menu)
{
    QStringList captions;
    for (const QAction *item : menu.actions())
        captions.append(item->text());
    return captions;
}

QAction *ItemCaptioned(const QMenu &menu, const QString &caption, int occurrence = 0)
{
    for (QAction *item : menu.actions()) {
        if (item->text() == caption && occurrence-- == 0)
            return item;
    }
    return nullptr;
}

} // namespace

class tst_Skins : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuFromNestedFolders();
    void noSkinFilesNoItems();
    void missingFolderNoItems();
    void skinSearchFolders_data();
    void skinSearchFolders();
    void menuFromSeveralFolders();
    void clickingAnItemAppliesItsSkin_data();
    void clickingAnItemAppliesItsSkin();
    void itemWithoutMatchingFileChangesNothing();
    void unreadableSkinKeepsTheCurrentOne_data();
    void unreadableSkinKeepsTheCurrentOne();
    void applySkinFileSetsTheStyleSheet();
    void plainCaption_data();
    void plainCaption();
    void shippedSkinsParse();
    void shippedSkinsLieNextToTheProgram();
    void translatedCaptionsStillApplyTheirSkin();
};

void tst_Skins::init()
{
    qApp->setStyleSheet(QString());
}

void tst_Skins::cleanup()
{
    qApp->setStyleSheet(QString());
}

void tst_Skins::menuFromNestedFolders()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir root(temporary.path());
    WriteSkin(root, QStringLiteral("Blue.asz"));
    WriteSkin(root, QStringLiteral("sub/Red.asz"));
    WriteSkin(root, QStringLiteral("sub/deeper/Blue.asz"));
    WriteSkin(root, QStringLiteral("a/Green.ASZ"));
    WriteSkin(root, QStringLiteral("notes.txt"));
    WriteSkin(root, QStringLiteral("Old.asz.bak"));
    QVERIFY(root.mkpath(QStringLiteral("folder.asz")));

    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(&N_Skins, temporary.path());
    QVERIFY(skins);
    QCOMPARE(skins->parent(), &N_Skins);
    QCOMPARE(skins->SkinFiles(),
             QStringList({root.filePath(QStringLiteral("a/Green.ASZ")),
                          root.filePath(QStringLiteral("Blue.asz")),
                          root.filePath(QStringLiteral("sub/deeper/Blue.asz")),
                          root.filePath(QStringLiteral("sub/Red.asz"))}));
    QCOMPARE(Captions(N_Skins), QStringList({"Green", "Blue", "Blue", "Red"}));
    QVERIFY(qApp->styleSheet().isEmpty());
}

void tst_Skins::noSkinFilesNoItems()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    WriteSkin(QDir(temporary.path()), QStringLiteral("readme.txt"));
    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(&N_Skins, temporary.path());
    QVERIFY(skins->SkinFiles().isEmpty());
    QVERIFY(N_Skins.actions().isEmpty());
    QVERIFY(qApp->styleSheet().isEmpty());
    QAction stray(QStringLiteral("Blue"));
    QVERIFY(!skins->ApplySkin(&stray));
    QVERIFY(qApp->styleSheet().isEmpty());
}

void tst_Skins::missingFolderNoItems()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    QMenu N_Skins;
    BuildSkinsMenu(&N_Skins, temporary.filePath(QStringLiteral("gone")));
    QVERIFY(N_Skins.actions().isEmpty());
}

void tst_Skins::clickingAnItemAppliesItsSkin_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<QString>("applied");

    const QStringList sameNames{"sub/Blue.asz", "Blue.asz", "zz/Blue.asz"};
    QTest::newRow("same name, first item") << sameNames << "Blue" << 0 << "Blue.asz";
    QTest::newRow("same name, second item") << sameNames << "Blue" << 1 << "Blue.asz";
    QTest::newRow("same name, third item") << sameNames << "Blue" << 2 << "Blue.asz";
    // AB.asz sorts first and its name ends with "B.asz"; B is still B.
    const QStringList endings{"AB.asz", "B.asz"};
    QTest::newRow("name ending another's, short") << endings << "B" << 0 << "B.asz";
    QTest::newRow("name ending another's, long") << endings << "AB" << 0 << "AB.asz";
    QTest::newRow("nested only") << QStringList{"one/two/Deep.asz"} << "Deep" << 0
                                 << "one/two/Deep.asz";
    QTest::newRow("upper-case extension") << QStringList{"Green.ASZ"} << "Green" << 0
                                          << "Green.ASZ";
    QTest::newRow("ampersand in the name") << QStringList{"R&D.asz"} << "R&&D" << 0 << "R&D.asz";
    QTest::newRow("name with spaces") << QStringList{"Night Blue.asz"} << "Night Blue" << 0
                                      << "Night Blue.asz";
    QTest::newRow("folder named like a skin")
        << QStringList{"Blue.asz.d/Blue.asz", "Red.asz"} << "Blue" << 0 << "Blue.asz.d/Blue.asz";
}

void tst_Skins::clickingAnItemAppliesItsSkin()
{
    QFETCH(QStringList, files);
    QFETCH(QString, caption);
    QFETCH(int, occurrence);
    QFETCH(QString, applied);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir root(temporary.path());
    for (const QString &file : files)
        QVERIFY(!WriteSkin(root, file).isEmpty());

    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(&N_Skins, temporary.path());
    QCOMPARE(N_Skins.actions().size(), files.size());
    QAction *item = ItemCaptioned(N_Skins, caption, occurrence);
    QVERIFY2(item, qPrintable(Captions(N_Skins).join(QLatin1Char('|'))));
    QSignalSpy appliedSpy(skins->Engine(), &TSkinEngine::SkinApplied);

    item->trigger();
    QCOMPARE(qApp->styleSheet(), SheetOf(applied));
    QCOMPARE(appliedSpy.size(), 1);
    const QFileInfo appliedFile(root.filePath(applied));
    QCOMPARE(skins->Engine()->SkinFolder(), appliedFile.path() + QLatin1Char('/'));
    QCOMPARE(skins->Engine()->SkinName(), TSoftSkins::SkinCaption(appliedFile.fileName()));
    QVERIFY(skins->Engine()->SkinFolder().endsWith(QLatin1Char('/')));
}

void tst_Skins::itemWithoutMatchingFileChangesNothing()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir root(temporary.path());
    WriteSkin(root, QStringLiteral("Blue.asz"));
    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(&N_Skins, temporary.path());
    N_Skins.actions().constFirst()->trigger();
    QCOMPARE(qApp->styleSheet(), SheetOf(QStringLiteral("Blue.asz")));

    QAction other(QStringLiteral("Lue"));
    QVERIFY(!skins->ApplySkin(&other));
    QVERIFY(!skins->ApplySkin(nullptr));
    QCOMPARE(qApp->styleSheet(), SheetOf(QStringLiteral("Blue.asz")));
    QCOMPARE(skins->Engine()->SkinName(), QStringLiteral("Blue"));
}

void tst_Skins::unreadableSkinKeepsTheCurrentOne_data()
{
    QTest::addColumn<bool>("removeFile");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("file removed after the menu was built") << true << QByteArray();
    QTest::newRow("not UTF-8 text") << false << QByteArray("QWidget { color: \xFF\xFE; }");
}

void tst_Skins::unreadableSkinKeepsTheCurrentOne()
{
    QFETCH(bool, removeFile);
    QFETCH(QByteArray, content);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir root(temporary.path());
    WriteSkin(root, QStringLiteral("Good.asz"));
    const QString badPath = WriteSkin(root, QStringLiteral("Bad.asz"));
    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(&N_Skins, temporary.path());
    ItemCaptioned(N_Skins, QStringLiteral("Good"))->trigger();
    QCOMPARE(qApp->styleSheet(), SheetOf(QStringLiteral("Good.asz")));

    if (removeFile) {
        QVERIFY(QFile::remove(badPath));
    } else {
        QFile file(badPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    QVERIFY(!skins->ApplySkin(ItemCaptioned(N_Skins, QStringLiteral("Bad"))));
    QCOMPARE(qApp->styleSheet(), SheetOf(QStringLiteral("Good.asz")));
    QCOMPARE(skins->Engine()->SkinName(), QStringLiteral("Good"));
}

void tst_Skins::applySkinFileSetsTheStyleSheet()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QString path = WriteSkin(QDir(temporary.path()), QStringLiteral("x/Plain.asz"));
    QVERIFY(ApplySkinFile(path));
    QCOMPARE(qApp->styleSheet(), SheetOf(QStringLiteral("x/Plain.asz")));
    QVERIFY(!ApplySkinFile(temporary.filePath(QStringLiteral("none.asz"))));
    QCOMPARE(qApp->styleSheet(), SheetOf(QStringLiteral("x/Plain.asz")));
}

void tst_Skins::plainCaption_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("plain");
    QTest::newRow("no marks") << "Blue" << "Blue";
    QTest::newRow("accelerator mark") << "&Blue" << "Blue";
    QTest::newRow("mark inside") << "Gra&phite" << "Graphite";
    QTest::newRow("escaped ampersand") << "R&&D" << "R&D";
    QTest::newRow("escaped ampersand and mark") << "&R&&D" << "R&D";
    QTest::newRow("surrounding spaces") << "  Blue " << "Blue";
    QTest::newRow("lone mark at the end") << "Blue&" << "Blue";
}

void tst_Skins::plainCaption()
{
    QFETCH(QString, caption);
    QFETCH(QString, plain);
    QCOMPARE(TSoftSkins::PlainCaption(caption), plain);
}

// Every skin shipped with the program is a style sheet Qt reads without
// complaint on the windows' kinds of controls.
void tst_Skins::shippedSkinsParse()
{
    const QStringList shipped = FindFiles(QStringLiteral(K80X_SKINS_DIR), QStringLiteral(".asz"));
    QVERIFY2(shipped.size() >= 2, qPrintable(shipped.join(QLatin1Char(' '))));

    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Menu"))->addAction(QStringLiteral("Item"));
    auto *tabs = new QTabWidget(&window);
    auto *page = new QWidget(tabs);
    tabs->addTab(page, QStringLiteral("Page"));
    auto *layout = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Group"), page);
    layout->addWidget(group);
    auto *inGroup = new QVBoxLayout(group);
    inGroup->addWidget(new QPushButton(QStringLiteral("Button"), group));
    inGroup->addWidget(new QCheckBox(QStringLiteral("Box"), group));
    inGroup->addWidget(new QLineEdit(group));
    auto *combo = new QComboBox(group);
    combo->addItems({QStringLiteral("one"), QStringLiteral("two")});
    inGroup->addWidget(combo);
    auto *tree = new QTreeWidget(page);
    tree->setHeaderLabels({QStringLiteral("A"), QStringLiteral("B")});
    layout->addWidget(tree);
    auto *progress = new QProgressBar(page);
    progress->setValue(40);
    layout->addWidget(progress);
    window.setCentralWidget(tabs);
    window.statusBar()->showMessage(QStringLiteral("COM1"));
    window.show();

    QTest::failOnWarning(QRegularExpression(QStringLiteral("[Cc]ould not parse")));
    for (const QString &path : shipped) {
        QVERIFY2(ApplySkinFile(path), qPrintable(path));
        QVERIFY(!qApp->styleSheet().isEmpty());
        QCOMPARE(qApp->styleSheet().count(QLatin1Char('{')), qApp->styleSheet().count(QLatin1Char('}')));
        QImage picture(window.size(), QImage::Format_ARGB32);
        window.render(&picture);
        QVERIFY(!picture.isNull());
    }
}

// The build puts the shipped skins into the folder of the program, where
// the Skins menu finds them.
void tst_Skins::shippedSkinsLieNextToTheProgram()
{
    QStringList shippedNames;
    for (const QString &path : FindFiles(QStringLiteral(K80X_SKINS_DIR), QStringLiteral(".asz")))
        shippedNames.append(QFileInfo(path).fileName());
    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(&N_Skins, QStringLiteral(K80X_PROGRAM_DIR));
    QStringList foundNames;
    for (const QString &path : skins->SkinFiles())
        foundNames.append(QFileInfo(path).fileName());
    for (const QString &name : shippedNames)
        QVERIFY2(foundNames.contains(name), qPrintable(name));
    for (QAction *item : N_Skins.actions()) {
        QVERIFY2(skins->ApplySkin(item), qPrintable(item->text()));
        QVERIFY(!qApp->styleSheet().isEmpty());
    }
}

void tst_Skins::skinSearchFolders_data()
{
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<QString>("dataFolder");
    QTest::addColumn<QStringList>("folders");
    QTest::newRow("installed on linux")
        << "/opt/k/bin" << "/opt/k/bin/../share/k80x"
        << QStringList{"/opt/k/bin", "/opt/k/share/k80x/skins"};
    QTest::newRow("windows: data beside the program")
        << "/opt/k" << "/opt/k" << QStringList{"/opt/k"};
    QTest::newRow("data folder below the program")
        << "/opt/k" << "/opt/k/data" << QStringList{"/opt/k"};
    QTest::newRow("sibling with a longer name is not inside")
        << "/opt/k" << "/opt/k2" << QStringList{"/opt/k", "/opt/k2/skins"};
}

// An installed copy looks in its data folder too, but never searches a
// folder twice.
void tst_Skins::skinSearchFolders()
{
    QFETCH(QString, programDir);
    QFETCH(QString, dataFolder);
    QFETCH(QStringList, folders);
    QCOMPARE(SkinSearchFolders(programDir, dataFolder), folders);
}

void tst_Skins::menuFromSeveralFolders()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir root(temporary.path());
    const QString program = WriteSkin(root, QStringLiteral("bin/Red.asz"));
    const QString shared = WriteSkin(root, QStringLiteral("share/k80x/skins/Blue.asz"));
    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(
        &N_Skins, SkinSearchFolders(root.filePath(QStringLiteral("bin")),
                                    root.filePath(QStringLiteral("share/k80x"))));
    QCOMPARE(skins->SkinFiles(), QStringList({program, shared}));
    QCOMPARE(Captions(N_Skins), QStringList({"Red", "Blue"}));
    QVERIFY(skins->ApplySkin(N_Skins.actions().at(1)));
    QCOMPARE(qApp->styleSheet(), SheetOf(QStringLiteral("share/k80x/skins/Blue.asz")));
}

void tst_Skins::translatedCaptionsStillApplyTheirSkin()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir root(temporary.path());
    WriteSkin(root, QStringLiteral("Blue.asz"));
    WriteSkin(root, QStringLiteral("Classic.asz"));
    WriteSkin(root, QStringLiteral("Mine.asz"));
    QMenu N_Skins;
    TSoftSkins *skins = BuildSkinsMenu(&N_Skins, temporary.path());

    skins->Retranslate(ConstLang::Chinese);
    // A skin the tables have no name for keeps its file name.
    QCOMPARE(Captions(N_Skins), QStringList({"蓝色", "经典", "Mine"}));
    QSignalSpy applied(skins->Engine(), &TSkinEngine::SkinApplied);
    QVERIFY(skins->ApplySkin(N_Skins.actions().at(1)));
    QCOMPARE(applied.takeFirst().at(0).toString(), root.filePath(QStringLiteral("Classic.asz")));

    skins->Retranslate(ConstLang::English);
    QCOMPARE(Captions(N_Skins), QStringList({"Blue", "Classic", "Mine"}));
    QVERIFY(skins->ApplySkin(N_Skins.actions().at(0)));
    QCOMPARE(applied.takeFirst().at(0).toString(), root.filePath(QStringLiteral("Blue.asz")));
}

QTEST_MAIN(tst_Skins)
#include "tst_Skins.moc"
