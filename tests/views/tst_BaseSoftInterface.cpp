// The list-view conventions and the pane blanking shared by every settings view.
#include "base/GbkText_Unt.h"
#include "look/ComponentEx.h"
#include "views/BaseSoftInterface_Unt.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>

namespace {

const QString kTick = QString(QChar(0x221A));

// A report view with the given number of columns and rows "  1" .. "  n",
// every sub-item filled with "r<row>c<column>".
std::unique_ptr<QTreeWidget> FilledView(int columns, int rows)
{
    auto view = std::make_unique<QTreeWidget>();
    view->setColumnCount(columns);
    TBaseSoftInterface::AddNumberedRows(view.get(), 1, rows);
    for (int row = 0; row < rows; ++row) {
        for (int column = 1; column < columns; ++column)
            view->topLevelItem(row)->setText(column, QStringLiteral("r%1c%2").arg(row).arg(column));
    }
    return view;
}

QStringList RowTexts(const QTreeWidget *view, int row)
{
    QStringList texts;
    for (int column = 0; column < view->columnCount(); ++column)
        texts << view->topLevelItem(row)->text(column);
    return texts;
}

} // namespace

class TestBaseSoftInterface : public QObject
{
    Q_OBJECT
private slots:
    void tickText()
    {
        QCOMPARE(TBaseSoftInterface::TickText(true), kTick);
        QCOMPARE(TBaseSoftInterface::TickText(false), QString());
        QVERIFY(TBaseSoftInterface::IsTicked(TBaseSoftInterface::TickText(true)));
        QVERIFY(!TBaseSoftInterface::IsTicked(TBaseSoftInterface::TickText(false)));
    }

    void isTicked_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("tick mark") << kTick << true;
        QTest::newRow("letter v") << QStringLiteral("v") << false;
        QTest::newRow("leading space") << (QStringLiteral(" ") + kTick) << false;
        QTest::newRow("trailing space") << (kTick + QStringLiteral(" ")) << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("two marks") << (kTick + kTick) << false;
        QTest::newRow("GBK bytes read as Latin-1") << QString::fromLatin1("\xA1\xCC") << false;
    }
    void isTicked()
    {
        QFETCH(QString, text);
        QFETCH(bool, ticked);
        QCOMPARE(TBaseSoftInterface::IsTicked(text), ticked);
    }

    void clearRow_data()
    {
        QTest::addColumn<int>("selectedRow"); // -1: nothing selected
        QTest::addColumn<int>("clearedRow");
        QTest::addColumn<int>("emptiedRow");  // -1: nothing changes
        QTest::newRow("selected row") << 1 << 1 << 1;
        QTest::newRow("other row than the selected one") << 0 << 2 << 2;
        QTest::newRow("no row selected, valid index") << -1 << 1 << -1;
        QTest::newRow("index -1") << 1 << -1 << -1;
        QTest::newRow("index beyond the rows") << 1 << 7 << -1;
    }
    void clearRow()
    {
        QFETCH(int, selectedRow);
        QFETCH(int, clearedRow);
        QFETCH(int, emptiedRow);
        auto view = FilledView(4, 3);
        if (selectedRow >= 0)
            view->topLevelItem(selectedRow)->setSelected(true);
        view->topLevelItem(0)->setData(2, Qt::UserRole, 5);

        TBaseSoftInterface::ClearRow(view.get(), clearedRow);

        for (int row = 0; row < 3; ++row) {
            const QStringList texts = RowTexts(view.get(), row);
            QCOMPARE(texts.at(0), QStringLiteral("  %1").arg(row + 1));
            for (int column = 1; column < 4; ++column) {
                const QString expected =
                    row == emptiedRow ? QString() : QStringLiteral("r%1c%2").arg(row).arg(column);
                QCOMPARE(texts.at(column), expected);
            }
        }
        QCOMPARE(view->topLevelItem(0)->data(2, Qt::UserRole).isValid(), emptiedRow != 0);
    }

    void clearAllRows()
    {
        auto view = FilledView(3, 4);
        TBaseSoftInterface::ClearAllRows(view.get());
        QCOMPARE(view->topLevelItemCount(), 4);
        for (int row = 0; row < 4; ++row)
            QCOMPARE(RowTexts(view.get(), row), (QStringList{QStringLiteral("  %1").arg(row + 1), {}, {}}));
    }

    void addNumberedRows_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QStringList>("captions");
        QStringList oneToTen;
        for (int number = 1; number <= 10; ++number)
            oneToTen << QStringLiteral("  %1").arg(number);
        QTest::newRow("1 to 10") << 1 << 10 << oneToTen;
        QTest::newRow("5 to 4 adds nothing") << 5 << 4 << QStringList();
        QTest::newRow("single row") << 7 << 7 << QStringList{QStringLiteral("  7")};
    }
    void addNumberedRows()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QStringList, captions);
        QTreeWidget view;
        view.setColumnCount(11);
        TBaseSoftInterface::AddNumberedRows(&view, first, last);
        QCOMPARE(view.topLevelItemCount(), captions.size());
        for (int row = 0; row < captions.size(); ++row) {
            QTreeWidgetItem *item = view.topLevelItem(row);
            QCOMPARE(item->text(0), captions.at(row));
            QCOMPARE(item->columnCount(), 11);
            for (int subItem = 0; subItem < 10; ++subItem)
                QCOMPARE(TBaseSoftInterface::SubItem(item, subItem), QString());
        }
        QVERIFY(view.updatesEnabled());
    }

    void indexOfContaining_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<int>("index");
        QTest::newRow("Mon in Sunday, Monday") << QStringLiteral("Mon") << QStringList{"Sunday", "Monday"} << 1;
        QTest::newRow("first containing entry wins") << QStringLiteral("day") << QStringList{"Sunday", "Monday"} << 0;
        QTest::newRow("contained nowhere") << QStringLiteral("Xyz") << QStringList{"Sunday", "Monday"} << 0;
        QTest::newRow("empty list") << QStringLiteral("Mon") << QStringList() << 0;
        QTest::newRow("case-sensitive") << QStringLiteral("monday") << QStringList{"Sunday", "Monday"} << 0;
        QTest::newRow("Chinese entry") << QStringLiteral("二") << QStringList{"日", "一", "二"} << 2;
        QTest::newRow("action by its number") << QStringLiteral("7.") << QStringList{"0.Reboot", "7.DO1 Close(ON)"} << 1;
    }
    void indexOfContaining()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, list);
        QFETCH(int, index);
        QCOMPARE(TBaseSoftInterface::IndexOfContaining(text, list), index);
    }

    void clampIndex_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("clamped");
        QTest::newRow("not found") << -1 << 0;
        QTest::newRow("very negative") << -100 << 0;
        QTest::newRow("zero") << 0 << 0;
        QTest::newRow("positive") << 5 << 5;
    }
    void clampIndex()
    {
        QFETCH(int, index);
        QFETCH(int, clamped);
        QCOMPARE(TBaseSoftInterface::ClampIndex(index), clamped);
    }

    void selectedRowIsTheFirstInRowOrder()
    {
        auto view = FilledView(2, 5);
        QCOMPARE(TBaseSoftInterface::SelectedRowIndex(view.get()), -1);
        view->topLevelItem(3)->setSelected(true);
        view->topLevelItem(1)->setSelected(true);
        QCOMPARE(TBaseSoftInterface::SelectedRowIndex(view.get()), 1);
    }

    void resetControlsBlanksDirectChildren()
    {
        QGroupBox group;
        auto *edit = new TLabeledEdit(&group);
        edit->setLabelText(QStringLiteral("caption"));
        edit->setText(QStringLiteral("value"));
        auto *plainEdit = new QLineEdit(QStringLiteral("plain"), &group);
        auto *themed = new TSkinCheckBox(QStringLiteral("themed"), &group);
        themed->setChecked(true);
        auto *plain = new QCheckBox(QStringLiteral("plain box"), &group);
        plain->setChecked(true);
        auto *combo = new QComboBox(&group);
        combo->addItems({QStringLiteral("TCP"), QStringLiteral("UDP")});
        combo->setCurrentIndex(1);
        auto *picker = new QTimeEdit(&group);
        picker->setTime(QTime(0, 0));
        auto *label = new QLabel(QStringLiteral("a label"), &group);
        auto *view = new QTreeWidget(&group);
        view->setColumnCount(3);
        TBaseSoftInterface::AppendRow(view, QStringLiteral("DOUT1"))->setText(1, QStringLiteral("Fan"));
        auto *nestedGroup = new QGroupBox(&group);
        auto *nested = new TLabeledEdit(nestedGroup);
        nested->setText(QStringLiteral("nested"));

        const QTime before = QTime::currentTime();
        TBaseSoftInterface::ResetControls(&group);

        QCOMPARE(edit->text(), QString());
        QCOMPARE(edit->labelText(), QStringLiteral("caption"));
        QCOMPARE(plainEdit->text(), QString());
        QVERIFY(!themed->isChecked());
        QVERIFY(plain->isChecked());
        QCOMPARE(combo->currentIndex(), -1);
        QVERIFY(picker->time() >= before.addSecs(-1));
        QCOMPARE(label->text(), QStringLiteral("a label"));
        QCOMPARE(view->topLevelItem(0)->text(0), QStringLiteral("DOUT1"));
        QCOMPARE(view->topLevelItem(0)->text(1), QString());
        QCOMPARE(nested->text(), QStringLiteral("nested"));
    }

    void resetControlsRunsHandlersOnlyOnChange_data()
    {
        QTest::addColumn<bool>("tickedBefore");
        QTest::addColumn<int>("handlerRuns");
        QTest::newRow("ticked box is unticked, handler runs") << true << 1;
        QTest::newRow("unticked box stays, handler does not run") << false << 0;
    }
    void resetControlsRunsHandlersOnlyOnChange()
    {
        QFETCH(bool, tickedBefore);
        QFETCH(int, handlerRuns);
        QGroupBox group;
        auto *box = new TSkinCheckBox(&group);
        box->setChecked(tickedBefore);
        QSignalSpy handler(box, &QCheckBox::toggled);
        TBaseSoftInterface::ResetControls(&group);
        QCOMPARE(handler.count(), handlerRuns);
        QVERIFY(!box->isChecked());
    }

    void laterChildrenOverwriteWhatAHandlerWrote()
    {
        // A box whose handler writes "0" into the edit after it: the walk
        // reaches the edit later and empties it again.
        QGroupBox group;
        auto *box = new TSkinCheckBox(&group);
        box->setChecked(true);
        auto *edit = new TLabeledEdit(&group);
        edit->setText(QStringLiteral("15"));
        QStringList seenByHandler;
        QObject::connect(box, &QCheckBox::toggled, [&] {
            edit->setText(QStringLiteral("0"));
            seenByHandler << edit->text();
        });
        TBaseSoftInterface::ResetControls(&group);
        QCOMPARE(seenByHandler, QStringList{QStringLiteral("0")});
        QCOMPARE(edit->text(), QString());
    }

    // The column widths come out the same when the program has no GBK
    // conversion (2 bytes per Chinese character, not its UTF-8 length).
    void cp936Length_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::addColumn<bool>("withoutConversion");
        const std::pair<const char *, std::pair<QString, int>> rows[] = {
            {"ASCII", {QStringLiteral("Channel"), 7}},
            {"Chinese", {QStringLiteral("通道名称"), 8}},
            {"mixed", {QStringLiteral("1.拨号"), 6}},
            {"tick mark", {kTick, 2}},
            {"empty", {QString(), 0}},
        };
        for (const bool withoutConversion : {false, true}) {
            for (const auto &[name, row] : rows)
                QTest::addRow("%s%s", name, withoutConversion ? ", no conversion" : "")
                    << row.first << row.second << withoutConversion;
        }
    }
    void cp936Length()
    {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QFETCH(bool, withoutConversion);
        if (withoutConversion)
            QVERIFY(TGbkText::ForceRouteForTests(TGbkText::TRoute::None));
        const auto reset = qScopeGuard([] { TGbkText::ResetRouteForTests(); });
        QCOMPARE(TBaseSoftInterface::Cp936Length(text), bytes);
    }
};

QTEST_MAIN(TestBaseSoftInterface)
#include "tst_BaseSoftInterface.moc"
