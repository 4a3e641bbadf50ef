#include "base/Funs_Unt.h"
#include "base/GbkText_Unt.h"
#include "debug/ProtocolNotation_Unt.h"

#include <QtTest>

using TRoute = TGbkText::TRoute;

namespace {

// The route forced by a test row, undone when the row ends.
class TForcedRoute
{
public:
    explicit TForcedRoute(TRoute route) : m_forced(TGbkText::ForceRouteForTests(route)) {}
    ~TForcedRoute() { TGbkText::ResetRouteForTests(); }
    bool Forced() const { return m_forced; }

private:
    bool m_forced;
};

// Whether this build and platform must offer a route; a route it must offer
// and cannot force is a failure, one it cannot offer is skipped.
bool RouteExpectedHere(TRoute route)
{
    switch (route) {
    case TRoute::QtConverter:
        return false; // needs a Qt built with ICU, which Qt does not promise
    case TRoute::Qt5CompatCodec:
#ifdef K80X_HAVE_CORE5COMPAT
        return true;
#else
        return false;
#endif
    case TRoute::WindowsCodePage:
#ifdef Q_OS_WIN
        return true;
#else
        return false;
#endif
    case TRoute::None:
        return true;
    }
    return false;
}

// Forces the row's route; fails or skips the row when it cannot.
#define FORCE_ROUTE_OR_SKIP(route)                                                   \
    TForcedRoute forcedRoute(route);                                                 \
    if (!forcedRoute.Forced()) {                                                     \
        QVERIFY2(!RouteExpectedHere(route),                                          \
                 qPrintable(TGbkText::RouteName(route) + QStringLiteral(" must work"))); \
        QSKIP("route not available on this platform or build");                     \
    }

void AddRouteRows(const char *name, const QString &text, const QByteArray &bytes)
{
    const std::pair<TRoute, const char *> routes[] = {
        {TRoute::QtConverter, "qt"},
        {TRoute::Qt5CompatCodec, "qt5compat"},
        {TRoute::WindowsCodePage, "windows"},
    };
    for (const auto &[route, routeName] : routes)
        QTest::addRow("%s, %s", routeName, name) << route << text << bytes;
}

} // namespace

class tst_GbkText : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { TGbkText::ResetRouteForTests(); }

    void roundTripOnEveryRoute_data();
    void roundTripOnEveryRoute();
    void unencodableCharacterOnEveryRoute_data();
    void unencodableCharacterOnEveryRoute();
    void automaticRouteIsTheFirstWorking();
    void withoutRouteOnlyAsciiConverts_data();
    void withoutRouteOnlyAsciiConverts();
    void deviceTextsFollowTheRoute();
    void debugNotationFollowsTheRoute();
};

void tst_GbkText::roundTripOnEveryRoute_data()
{
    QTest::addColumn<TRoute>("route");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    AddRouteRows("ascii", QStringLiteral("K801 Room-3"), QByteArray("K801 Room-3"));
    AddRouteRows("temperature", QString::fromUtf8("温度"), QByteArray::fromHex("cec2b6c8"));
    AddRouteRows("relay 1", QString::fromUtf8("继电器1"), QByteArray::fromHex("bcccb5e7c6f7") + "1");
    AddRouteRows("full-width punctuation", QString::fromUtf8("高限报警！"),
                 QByteArray::fromHex("b8dfcfdeb1a8beafa3a1"));
    AddRouteRows("empty", QString(), QByteArray());
}

// Each route gives the same code page 936 bytes for the same text, both ways.
void tst_GbkText::roundTripOnEveryRoute()
{
    QFETCH(TRoute, route);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    FORCE_ROUTE_OR_SKIP(route);

    QCOMPARE(TGbkText::Route(), route);
    bool ok = false;
    QCOMPARE(TGbkText::Encode(text, &ok).toHex(), bytes.toHex());
    QVERIFY(ok);
    QCOMPARE(TGbkText::Decode(bytes), text);
    QCOMPARE(TGbkText::ByteLength(text), bytes.size());
    QVERIFY(TGbkText::CanDecode(bytes));
}

void tst_GbkText::unencodableCharacterOnEveryRoute_data()
{
    QTest::addColumn<TRoute>("route");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    AddRouteRows("emoji between ascii", QString::fromUtf8("A\xF0\x9F\x98\x80Z"), QByteArray());
    AddRouteRows("hangul after chinese", QString::fromUtf8("温한"), QByteArray());
}

// A character GBK cannot hold is reported and written as '?', never dropped
// silently and never written as something else.
void tst_GbkText::unencodableCharacterOnEveryRoute()
{
    QFETCH(TRoute, route);
    QFETCH(QString, text);
    FORCE_ROUTE_OR_SKIP(route);

    bool ok = true;
    const QByteArray encoded = TGbkText::Encode(text, &ok);
    QVERIFY(!ok);
    QVERIFY2(encoded.contains('?'), encoded.toHex().constData());
    const QString decoded = TGbkText::Decode(encoded);
    QCOMPARE(decoded.at(0), text.at(0));
    QVERIFY(decoded.contains(QLatin1Char('?')));
}

void tst_GbkText::automaticRouteIsTheFirstWorking()
{
    const QList<TRoute> working = TGbkText::WorkingRoutes();
    for (const TRoute route : {TRoute::Qt5CompatCodec, TRoute::WindowsCodePage}) {
        if (RouteExpectedHere(route))
            QVERIFY2(working.contains(route), qPrintable(TGbkText::RouteName(route)));
    }
    QVERIFY(!working.contains(TRoute::None));
    QCOMPARE(TGbkText::Route(), working.isEmpty() ? TRoute::None : working.first());
    QCOMPARE(TGbkText::Available(), !working.isEmpty());

    QVERIFY(TGbkText::ForceRouteForTests(TRoute::None));
    QCOMPARE(TGbkText::Route(), TRoute::None);
    QVERIFY(!TGbkText::Available());
    TGbkText::ResetRouteForTests();
    QCOMPARE(TGbkText::Route(), working.isEmpty() ? TRoute::None : working.first());
}

void tst_GbkText::withoutRouteOnlyAsciiConverts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("encoded");
    QTest::addColumn<bool>("encodedOk");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("decoded");
    QTest::addColumn<bool>("decodable");
    QTest::addColumn<int>("byteLength");

    QTest::newRow("ascii") << QStringLiteral("Room 1") << QByteArray("Room 1") << true
                           << QByteArray("Room 1") << QStringLiteral("Room 1") << true << 6;
    QTest::newRow("chinese") << QString::fromUtf8("温度") << QByteArray("??") << false
                             << QByteArray::fromHex("cec2b6c8")
                             << QString(4, QChar(0xFFFD)) << false << 4;
    QTest::newRow("mixed") << QString::fromUtf8("DO1继电器") << QByteArray("DO1???") << false
                           << QByteArray("DO1") + QByteArray::fromHex("bccc")
                           << QStringLiteral("DO1") + QString(2, QChar(0xFFFD)) << false << 9;
}

void tst_GbkText::withoutRouteOnlyAsciiConverts()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, encoded);
    QFETCH(bool, encodedOk);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, decoded);
    QFETCH(bool, decodable);
    QFETCH(int, byteLength);
    FORCE_ROUTE_OR_SKIP(TRoute::None);

    bool ok = !encodedOk;
    QCOMPARE(TGbkText::Encode(text, &ok), encoded);
    QCOMPARE(ok, encodedOk);
    QCOMPARE(TGbkText::Decode(bytes), decoded);
    QCOMPARE(TGbkText::CanDecode(bytes), decodable);
    QCOMPARE(TGbkText::ByteLength(text), qsizetype(byteLength));
}

// The device text routines take the route in use, so without one a Chinese
// name is not turned into Latin-1 look-alikes and a write says it failed.
void tst_GbkText::deviceTextsFollowTheRoute()
{
    const QByteArray stored = QByteArray::fromHex("cec2b6c8ff00");
    const QString name = QString::fromUtf8("温度");
    if (TGbkText::Available()) {
        QCOMPARE(BytesToText(stored, 5), name + QChar(0));
        QByteArray field;
        QVERIFY(TextToBytes(name, field, 5));
        QCOMPARE(field.toHex(), QByteArray("cec2b6c80000"));
    }

    FORCE_ROUTE_OR_SKIP(TRoute::None);
    QCOMPARE(BytesToText(stored, 3), QString(4, QChar(0xFFFD)));
    QByteArray field;
    QVERIFY(!TextToBytes(name, field, 5));
    QCOMPARE(field, QByteArray("??") + QByteArray(4, '\0'));
    QVERIFY(TextToBytes(QStringLiteral("DO1"), field, 5));
    QCOMPARE(field, QByteArray("DO1") + QByteArray(3, '\0'));
}

void tst_GbkText::debugNotationFollowsTheRoute()
{
    const QByteArray frame = QByteArray("#") + QByteArray::fromHex("cec2b6c8");
    if (TGbkText::Available())
        QCOMPARE(FormatByteList(frame, TDisplayMode::Ansi), QString::fromUtf8("#温度 "));
    FORCE_ROUTE_OR_SKIP(TRoute::None);
    QCOMPARE(FormatByteList(frame, TDisplayMode::Ansi),
             QStringLiteral("#") + QString(4, QChar(0xFFFD)) + QLatin1Char(' '));
}

QTEST_GUILESS_MAIN(tst_GbkText)
#include "tst_GbkText.moc"
