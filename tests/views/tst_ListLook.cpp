// How the four setting lists paint a selected row in every shipped skin: the
// row must stand out from the others and its text must stay readable.
#include "look/Skins_Unt.h"
#include "views/SoftInterfaceDateTime_Unt.h"
#include "views/SoftInterfaceDiDoTh_Unt.h"
#include "views/SoftInterfaceTelephone_Unt.h"

#include <QApplication>
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
};

QTEST_MAIN(tst_ListLook)
#include "tst_ListLook.moc"
