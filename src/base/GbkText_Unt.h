#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringView>

// Device texts, profile files and CSV files are single-byte text in code
// page 936 (GBK). Every conversion between such bytes and QString goes
// through here, so that one choice of converter holds for the whole program.
//
// Three routes can do the work, tried in this order when the program first
// converts: Qt's own converter (needs a Qt built with ICU), the codec of the
// Qt 5 compatibility module (when the program was built with it), and on
// Windows the system's conversion for code page 936. When none works, ASCII
// still converts exactly (GBK is a superset of it), every other character
// does not, and the callers that write files refuse to write.
//
// The functions may be called from any thread.
class TGbkText
{
public:
    enum class TRoute { QtConverter, Qt5CompatCodec, WindowsCodePage, None };

    // The route every conversion takes.
    static TRoute Route();
    // true when a route other than None is in use.
    static bool Available() { return Route() != TRoute::None; }
    // The routes that work in this copy of the program, in the order they
    // are preferred; None is not listed.
    static QList<TRoute> WorkingRoutes();
    // A short English name of a route for logs and diagnostics
    // ("Qt converter", "Qt 5 compatibility codec", "Windows code page 936", "none").
    static QString RouteName(TRoute route);
    // The reason, in English like the system's file errors, that a file is
    // not written or read when no route exists.
    static QString NoConversionReason();

    // bytes as GBK text. Bytes that form no GBK character give a replacement
    // character. Without a route, ASCII bytes give themselves and every
    // other byte U+FFFD.
    static QString Decode(QByteArrayView bytes);
    // true when Decode gives the true text of bytes: always with a route,
    // and without one only for bytes that are all ASCII.
    static bool CanDecode(QByteArrayView bytes);

    // text as GBK bytes. A character without a GBK code becomes '?' and sets
    // *ok (when given) to false; otherwise *ok is true. Without a route only
    // ASCII characters have a code.
    static QByteArray Encode(QStringView text, bool *ok = nullptr);
    // The number of bytes Encode gives for text: 1 per ASCII character and
    // 2 per Chinese one. Without a route every non-ASCII UTF-16 unit counts 2.
    static qsizetype ByteLength(QStringView text);

    // Test seam: every later conversion takes route. Returns false, changing
    // nothing, when route does not work here (None always works).
    static bool ForceRouteForTests(TRoute route);
    // Back to the route chosen automatically.
    static void ResetRouteForTests();
};

Q_DECLARE_METATYPE(TGbkText::TRoute)
