#include "dialogs/BasicAnimate_Frm.h"

#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <memory>

class tst_BasicAnimate : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void namesAndGauge();
    void showClearsStopFlagAndDisablesMain();
    void stopButtonSetsStopFlag();
    void destroyingSetsStopFlag();
    void positionHeldInRange_data();
    void positionHeldInRange();
    void currentFollowsLifetime();
    void manyPositionsDrawnOncePerInterval();
    void lastPositionDrawnWhenClosed();

private:
    QWidget *m_main = nullptr;
};

void tst_BasicAnimate::init()
{
    m_main = new QWidget;
    m_main->resize(640, 480);
    m_main->show();
}

void tst_BasicAnimate::cleanup()
{
    delete m_main;
    m_main = nullptr;
}

void tst_BasicAnimate::namesAndGauge()
{
    TFormBasicAnimate progress(m_main);
    QCOMPARE(progress.windowTitle(), QStringLiteral("Process......"));
    QProgressBar *gauge = progress.findChild<QProgressBar *>(QStringLiteral("sg"));
    QVERIFY(gauge);
    QCOMPARE(gauge->minimum(), 0);
    QVERIFY(gauge->format().endsWith(QLatin1Char('%')));
    QPushButton *stop = progress.findChild<QPushButton *>(QStringLiteral("btn_Close"));
    QVERIFY(stop);
    QCOMPARE(stop->text(), QStringLiteral("Stop"));

    progress.SetRange(0, 15);
    progress.SetPosition(6);
    QCOMPARE(gauge->maximum(), 15);
    QCOMPARE(progress.Position(), 6);
    QCOMPARE(gauge->text(), QStringLiteral("40%"));
}

void tst_BasicAnimate::showClearsStopFlagAndDisablesMain()
{
    TFormBasicAnimate progress(m_main);
    QSignalSpy stops(&progress, &TFormBasicAnimate::StopRequested);
    QVERIFY(m_main->isEnabled());
    progress.show();
    QVERIFY(progress.isVisible());
    QVERIFY(!progress.IsStopRequested());
    QVERIFY(!m_main->isEnabled());
    // Not a child of the main window, which would disable it too.
    QVERIFY(progress.isEnabled());
    QVERIFY(progress.btn_Close->isEnabled());

    progress.close();
    QVERIFY(progress.IsStopRequested());
    QCOMPARE(stops.count(), 1);
    QVERIFY(m_main->isEnabled());

    // Shown again for the next flow, it starts unstopped.
    progress.show();
    QVERIFY(!progress.IsStopRequested());
    QVERIFY(!m_main->isEnabled());
}

void tst_BasicAnimate::stopButtonSetsStopFlag()
{
    TFormBasicAnimate progress(m_main);
    QSignalSpy stops(&progress, &TFormBasicAnimate::StopRequested);
    QSignalSpy finished(&progress, &QDialog::finished);
    progress.show();
    QVERIFY(!progress.IsStopRequested());

    QTest::mouseClick(progress.btn_Close, Qt::LeftButton);
    QVERIFY(!progress.isVisible());
    QVERIFY(progress.IsStopRequested());
    QCOMPARE(stops.count(), 1);
    // The job runner cancels its job on finished().
    QCOMPARE(finished.count(), 1);
    QVERIFY(m_main->isEnabled());
}

void tst_BasicAnimate::destroyingSetsStopFlag()
{
    auto progress = std::make_unique<TFormBasicAnimate>(m_main);
    QSignalSpy stops(progress.get(), &TFormBasicAnimate::StopRequested);
    progress->show();
    QVERIFY(!m_main->isEnabled());

    progress.reset();
    QCOMPARE(stops.count(), 1);
    QVERIFY(m_main->isEnabled());
}

void tst_BasicAnimate::positionHeldInRange_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("shown");
    QTest::newRow("inside") << 45 << 45;
    QTest::newRow("above the maximum") << 99100 << 100;
    QTest::newRow("below the minimum") << -3 << 0;
}

void tst_BasicAnimate::positionHeldInRange()
{
    QFETCH(int, position);
    QFETCH(int, shown);
    TFormBasicAnimate progress(m_main);
    progress.SetRange(0, 100);
    progress.SetPosition(50);
    progress.SetPosition(position);
    QCOMPARE(progress.Position(), shown);
}

void tst_BasicAnimate::currentFollowsLifetime()
{
    QCOMPARE(TFormBasicAnimate::current(), nullptr);
    {
        TFormBasicAnimate progress(m_main);
        QCOMPARE(TFormBasicAnimate::current(), &progress);
    }
    QCOMPARE(TFormBasicAnimate::current(), nullptr);
}


// A flow that moves the gauge on every page: the first position is drawn at
// once, the ones set within the interval after it only as the latest, once.
void tst_BasicAnimate::manyPositionsDrawnOncePerInterval()
{
    TFormBasicAnimate progress(m_main);
    progress.SetRange(0, 2000);
    progress.show();
    QSignalSpy drawn(progress.sg, &QProgressBar::valueChanged);
    for (int position = 1; position <= 500; ++position)
        progress.SetPosition(position);
    QCOMPARE(progress.Position(), 500);
    QCOMPARE(drawn.size(), 1);
    QCOMPARE(progress.sg->value(), 1);
    QTRY_COMPARE(progress.sg->value(), 500);
    QCOMPARE(drawn.size(), 2);
}

void tst_BasicAnimate::lastPositionDrawnWhenClosed()
{
    auto progress = std::make_unique<TFormBasicAnimate>(m_main);
    progress->SetRange(0, 100);
    progress->show();
    progress->SetPosition(10);
    progress->SetPosition(100);
    QList<int> drawn;
    connect(progress->sg, &QProgressBar::valueChanged, this, [&drawn](int value) { drawn << value; });
    progress.reset();
    QCOMPARE(drawn, QList<int>{100});
}

QTEST_MAIN(tst_BasicAnimate)
#include "tst_BasicAnimate.moc"
