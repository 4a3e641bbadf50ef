#include "base/GbkText_Unt.h"
#include "dialogs/Questions_Frm.h"
#include "lang/ConstLang_Unt.h"

#include <QAbstractButton>
#include <QDialog>
#include <QMessageBox>
#include <QtTest>

using TRoute = TGbkText::TRoute;

class tst_StartupNotice : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void noticeOnlyWithoutConversion_data();
    void noticeOnlyWithoutConversion();
};

void tst_StartupNotice::cleanup()
{
    TGbkText::ResetRouteForTests();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMessageBox *>(widget))
            delete widget;
    }
}

void tst_StartupNotice::noticeOnlyWithoutConversion_data()
{
    QTest::addColumn<bool>("withConversion");
    QTest::addColumn<int>("language");
    QTest::newRow("no conversion, chinese") << false << 0;
    QTest::newRow("no conversion, english") << false << 1;
    QTest::newRow("with conversion") << true << 1;
}

// The start-up says in the user's language that GBK text cannot be
// converted, and says nothing when it can.
void tst_StartupNotice::noticeOnlyWithoutConversion()
{
    QFETCH(bool, withConversion);
    QFETCH(int, language);
    if (withConversion) {
        if (!TGbkText::Available())
            QSKIP("this Qt converts no GBK text");
    } else {
        QVERIFY(TGbkText::ForceRouteForTests(TRoute::None));
    }

    QDialog login;
    QCOMPARE(NoticeMissingGbkConversion(&login, language), !withConversion);
    auto *box = login.findChild<QMessageBox *>(QStringLiteral("ErrorBox"));
    if (withConversion) {
        QVERIFY(!box);
        return;
    }
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QCOMPARE(box->icon(), QMessageBox::Critical);
    const QString expected = ConstLang::Text(QStringLiteral("MsgNoGbkConversion"), language);
    QVERIFY(!expected.isEmpty());
    QCOMPARE(box->text(), expected);
    box->button(QMessageBox::Ok)->click();
}

QTEST_MAIN(tst_StartupNotice)
#include "tst_StartupNotice.moc"
