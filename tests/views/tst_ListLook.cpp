// How the four setting lists paint a selected row in every shipped skin: the
// row must stand out from the others and its text must stay readable.
#include "look/Skins_Unt.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "views/SoftInterfaceTelephone_Unt.h"

#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QDir>
#include <QHash>
#include <QImage>
#include <QTest>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <functional>

namespace {

using TViewMaker = std::function<QTreeWidget *(QWidget *)>;

// The colour most pixels of rect have: the row's background.
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

int Distance(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b));
}

// The largest colour distance from background of any pixel in rect: how far
// the text drawn there stands out.
int TextContrast(const QImage &image, const QRect &rect, QRgb background)
{
    int best = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            best = qMax(best, Distance(image.pixel(x, y), background));
    }
    return best;
}

} // namespace

class tst_ListLook : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qApp->setStyleSheet(QString()); }

    void selectedRowStandsOut_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::addColumn<TViewMaker>("make");
        const QList<QPair<const char *, TViewMaker>> lists = {
            {"lvDo", [](QWidget *sheet) { return TSoftDiDoTh::CreateDoView(sheet); }},
            {"lvTh", [](QWidget *sheet) { return TSoftDiDoTh::CreateThView(sheet); }},
            {"lvTel", [](QWidget *sheet) { return TSoftTelephone::CreateTelView(sheet); }},
            {"lvTimer", [](QWidget *sheet) { return TSoftDateTime::CreateTimerView(sheet); }},
        };
        QStringList skins{QString()};
        const QDir folder(QStringLiteral(K80X_SKINS_DIR));
        for (const QString &file : folder.entryList({QStringLiteral("*.asz")}, QDir::Files, QDir::Name))
            skins << folder.filePath(file);
        QVERIFY(skins.size() >= 4);
        for (const QString &skin : std::as_const(skins)) {
            const QString skinName = skin.isEmpty() ? QStringLiteral("built-in") : TSoftSkins::SkinCaption(skin);
            for (const auto &list : lists) {
                const QByteArray row = (skinName + QLatin1Char(' ') + QLatin1String(list.first)).toUtf8();
                QTest::newRow(row.constData()) << skin << list.second;
            }
        }
    }

    void selectedRowStandsOut()
    {
        QFETCH(QString, skin);
        QFETCH(TViewMaker, make);
        if (!skin.isEmpty())
            QVERIFY(ApplySkinFile(skin));

        QWidget sheet;
        QTreeWidget *view = make(&sheet);
        (new QVBoxLayout(&sheet))->addWidget(view);
        for (int row = 0; row < 3; ++row) {
            auto *item = new QTreeWidgetItem(view);
            for (int column = 0; column < view->columnCount(); ++column)
                item->setText(column, QStringLiteral("WWW%1").arg(row));
        }
        sheet.resize(700, 240);
        sheet.show();
        QApplication::setActiveWindow(&sheet);
        view->setFocus();
        view->setCurrentItem(view->topLevelItem(1));
        QVERIFY(view->topLevelItem(1)->isSelected());
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));

        const QImage image = view->viewport()->grab().toImage();
        if (!qEnvironmentVariableIsEmpty("K80X_GRAB_FOLDER"))
            image.save(qEnvironmentVariable("K80X_GRAB_FOLDER") + QLatin1Char('/')
                       + QString::fromUtf8(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_'))
                       + QStringLiteral(".png"));
        const QRect shown = image.rect();
        const QRect unselected = view->visualItemRect(view->topLevelItem(0)).adjusted(1, 1, -1, -1) & shown;
        const QRect selected = view->visualItemRect(view->topLevelItem(1)).adjusted(1, 1, -1, -1) & shown;
        QVERIFY(!selected.isEmpty());
        const QRgb normal = Dominant(image, unselected);
        const QRgb highlight = Dominant(image, selected);
        // A selection the eye finds at once, and text on it that can be read.
        QVERIFY2(Distance(normal, highlight) > 90,
                 qPrintable(QStringLiteral("selected %1, unselected %2")
                                .arg(QColor(highlight).name(), QColor(normal).name())));
        QVERIFY2(TextContrast(image, selected, highlight) > 200,
                 qPrintable(QStringLiteral("text on %1 hardly visible").arg(QColor(highlight).name())));
        QVERIFY(TextContrast(image, unselected, normal) > 200);
    }
    // The frozen caption and value columns of a channel list stay beside the
    // settings of the same channel: same row tops and heights, same header
    // height, at the top and scrolled to the end, whatever script the names
    // use, in every skin and at a larger font.
    void frozenColumnsKeepInLine_data()
    {
        QTest::addColumn<QString>("skin");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<int>("firstChinese");
        QStringList skins{QString()};
        const QDir folder(QStringLiteral(K80X_SKINS_DIR));
        for (const QString &file : folder.entryList({QStringLiteral("*.asz")}, QDir::Files, QDir::Name))
            skins << folder.filePath(file);
        for (const QString &skin : std::as_const(skins)) {
            const QString skinName = skin.isEmpty() ? QStringLiteral("built-in") : TSoftSkins::SkinCaption(skin);
            QTest::newRow(qPrintable(skinName + QStringLiteral(": Chinese names from row 0"))) << skin << 0 << 0;
            QTest::newRow(qPrintable(skinName + QStringLiteral(": Chinese names from row 5"))) << skin << 0 << 5;
            QTest::newRow(qPrintable(skinName + QStringLiteral(": 15 pt, Chinese from row 3"))) << skin << 15 << 3;
        }
    }

    void frozenColumnsKeepInLine()
    {
        QFETCH(QString, skin);
        QFETCH(int, pointSize);
        QFETCH(int, firstChinese);
        if (!skin.isEmpty())
            QVERIFY(ApplySkinFile(skin));

        QWidget sheet;
        if (pointSize > 0) {
            QFont font = sheet.font();
            font.setPointSize(pointSize);
            sheet.setFont(font);
        }
        QTreeWidget *view = TSoftDiDoTh::CreateThView(&sheet);
        (new QVBoxLayout(&sheet))->addWidget(view);
        view->headerItem()->setText(view->columnCount() - 1, QStringLiteral("报警上限"));
        for (int row = 0; row < 16; ++row) {
            auto *item = new QTreeWidgetItem(view);
            item->setText(0, QStringLiteral("Temperature%1").arg(row + 1));
            const bool chinese = row >= firstChinese && row % 2 == firstChinese % 2;
            for (int column = 1; column < view->columnCount(); ++column)
                item->setText(column, chinese ? QStringLiteral("冷库温度%1").arg(row) : QStringLiteral("Probe %1").arg(row));
        }
        sheet.resize(460, 300);
        sheet.show();
        QVERIFY(QTest::qWaitForWindowExposed(&sheet));
        auto *frozen = view->findChild<QTreeView *>(QStringLiteral("lvTh_Frozen"));
        QVERIFY(frozen);

        const auto compareRows = [&](const char *where) {
            QCOMPARE(frozen->header()->height(), view->header()->height());
            for (int row = 0; row < view->topLevelItemCount(); ++row) {
                const QModelIndex index = view->model()->index(row, 0);
                const QRect listRect = view->visualRect(index);
                const QRect frozenRect = frozen->visualRect(index);
                const int listTop = view->viewport()->mapTo(view, listRect.topLeft()).y();
                const int frozenTop = frozen->viewport()->mapTo(view, frozenRect.topLeft()).y();
                QVERIFY2(listTop == frozenTop && listRect.height() == frozenRect.height(),
                         qPrintable(QStringLiteral("%1, row %2: list at %3 (%4 high), frozen at %5 (%6 high)")
                                        .arg(QLatin1String(where)).arg(row).arg(listTop)
                                        .arg(listRect.height()).arg(frozenTop).arg(frozenRect.height())));
            }
        };
        compareRows("top");
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        QVERIFY(view->verticalScrollBar()->maximum() > 0);
        QCoreApplication::processEvents();
        compareRows("scrolled to the end");
    }
};

QTEST_MAIN(tst_ListLook)
#include "tst_ListLook.moc"
