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
#include <QStyleOptionButton>
#include <QTimeEdit>
#include <QSettings>

#include <cmath>

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

// WCAG 2 relative luminance and contrast ratio.
double Luminance(QRgb colour)
{
    auto channel = [](int value) {
        const double share = value / 255.0;
        return share <= 0.03928 ? share / 12.92 : std::pow((share + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(colour)) + 0.7152 * channel(qGreen(colour)) + 0.0722 * channel(qBlue(colour));
}

double Contrast(QRgb a, QRgb b)
{
    const double lighter = qMax(Luminance(a), Luminance(b));
    const double darker = qMin(Luminance(a), Luminance(b));
    return (lighter + 0.05) / (darker + 0.05);
}

// The colour most pixels of rect have.
QRgb Dominant(const QImage &image, const QRect &rect)
{
    QHash<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            ++counts[image.pixel(x, y)];
    }
    QRgb best = 0;
    int bestCount = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return best;
}

// The strongest contrast of a pixel of rect against colour.
double StrongestContrast(const QImage &image, const QRect &rect, QRgb colour)
{
    double best = 1.0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            best = qMax(best, Contrast(image.pixel(x, y), colour));
    }
    return best;
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
    void chosenSkinIsTickedAndRemembered();
    void stepArrowsAndCheckBoxesShow_data();
    void stepArrowsAndCheckBoxesShow();
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

void tst_Skins::stepArrowsAndCheckBoxesShow_data()
{
    QTest::addColumn<QString>("skin");
    QTest::newRow("built-in") << QString();
    for (const QString &path : FindFiles(QStringLiteral(K80X_SKINS_DIR), QStringLiteral(".asz")))
        QTest::newRow(qPrintable(TSoftSkins::SkinCaption(path))) << path;
}

// A time field shows its step arrows and a check box its box, ticked or
// not, at a contrast of 3:1 at least against what lies around them (the
// WCAG measure for parts of controls).
void tst_Skins::stepArrowsAndCheckBoxesShow()
{
    QFETCH(QString, skin);
    if (!skin.isEmpty())
        QVERIFY(ApplySkinFile(skin));
    QWidget window;
    auto *time = new QTimeEdit(&window);
    time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    time->setFixedSize(120, 28);
    auto *off = new QCheckBox(QStringLiteral("Off"), &window);
    auto *on = new QCheckBox(QStringLiteral("On"), &window);
    on->setChecked(true);
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(time);
    layout->addWidget(off);
    layout->addWidget(on);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    const QImage field = time->grab().toImage();
    // Inside the step buttons, away from the borders.
    const QRect buttons(field.width() - 14, 3, 10, field.height() - 6);
    const QRgb buttonColour = Dominant(field, buttons);
    QVERIFY2(StrongestContrast(field, buttons, buttonColour) >= 3.0,
             qPrintable(QStringLiteral("no arrows on %1").arg(QColor(buttonColour).name())));

    QStyleOptionButton option;
    option.initFrom(off);
    const QRect box = off->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, off);
    QVERIFY(!box.isEmpty());
    const QImage offImage = off->grab().toImage();
    const QImage onImage = on->grab().toImage();
    const QRgb around = Dominant(offImage, offImage.rect());
    // The built-in skin is the platform's own look, which the program leaves
    // as it is.
    if (skin.isEmpty()) {
        qApp->setStyleSheet(QString());
        return;
    }
    QVERIFY2(StrongestContrast(offImage, box, around) >= 3.0,
             qPrintable(QStringLiteral("box hardly visible on %1").arg(QColor(around).name())));
    double tickDifference = 1.0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x)
            tickDifference = qMax(tickDifference, Contrast(offImage.pixel(x, y), onImage.pixel(x, y)));
    }
    QVERIFY2(tickDifference >= 3.0, "a ticked box looks like an empty one");
    qApp->setStyleSheet(QString());
}

// The menu ticks the skin in use, one at a time; the next run (a new menu
// reading the same settings) starts in the skin chosen last; a remembered
// skin whose file is gone leaves the built-in one.
void tst_Skins::chosenSkinIsTickedAndRemembered()
{
    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    QSettings settings(temporary.filePath(QStringLiteral("k80x.conf")), QSettings::IniFormat);
    const auto ticked = [](const QMenu &menu) {
        QStringList names;
        for (const QAction *item : menu.actions()) {
            if (item->isChecked())
                names << item->data().toString();
        }
        return names;
    };
    const auto item = [](const QMenu &menu, const QString &name) -> QAction * {
        for (QAction *action : menu.actions()) {
            if (action->data().toString() == name)
                return action;
        }
        return nullptr;
    };
    {
        QMenu N_Skins;
        TSoftSkins *skins = BuildSkinsMenu(&N_Skins, QStringLiteral(K80X_SKINS_DIR));
        skins->RememberIn(&settings);
        QVERIFY(qApp->styleSheet().isEmpty());
        QCOMPARE(ticked(N_Skins), QStringList());
        item(N_Skins, QStringLiteral("Graphite"))->trigger();
        QCOMPARE(ticked(N_Skins), QStringList{QStringLiteral("Graphite")});
        item(N_Skins, QStringLiteral("Blue"))->trigger();
        QCOMPARE(ticked(N_Skins), QStringList{QStringLiteral("Blue")});
        QCOMPARE(settings.value(QStringLiteral("Look/Skin")).toString(), QStringLiteral("Blue"));
    }
    qApp->setStyleSheet(QString());
    {
        QMenu N_Skins;
        TSoftSkins *skins = BuildSkinsMenu(&N_Skins, QStringLiteral(K80X_SKINS_DIR));
        skins->RememberIn(&settings);
        QCOMPARE(skins->CurrentSkin(), QStringLiteral("Blue"));
        QCOMPARE(ticked(N_Skins), QStringList{QStringLiteral("Blue")});
        QFile blue(QStringLiteral(K80X_SKINS_DIR "/Blue.asz"));
        QVERIFY(blue.open(QIODevice::ReadOnly));
        QCOMPARE(qApp->styleSheet(), QString::fromUtf8(blue.readAll()));
    }
    qApp->setStyleSheet(QString());
    settings.setValue(QStringLiteral("Look/Skin"), QStringLiteral("Removed"));
    {
        QMenu N_Skins;
        TSoftSkins *skins = BuildSkinsMenu(&N_Skins, QStringLiteral(K80X_SKINS_DIR));
        skins->RememberIn(&settings);
        QVERIFY(skins->CurrentSkin().isEmpty());
        QVERIFY(qApp->styleSheet().isEmpty());
        QCOMPARE(ticked(N_Skins), QStringList());
    }
}
