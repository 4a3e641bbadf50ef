#include "base/GbkText_Unt.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <atomic>

#ifdef K80X_HAVE_CORE5COMPAT
#include <QTextCodec>
#endif

#ifdef Q_OS_WIN
#include <qt_windows.h>
#endif

namespace {

using TRoute = TGbkText::TRoute;

constexpr char CodecName[] = "GBK";
constexpr char16_t ReplacementCharacter = 0xFFFD;
constexpr char MissingCodeByte = '?';

// -1: chosen automatically; otherwise the TRoute forced by a test.
std::atomic<int> g_forcedRoute{-1};

bool IsAscii(char16_t unit)
{
    return unit < 0x80;
}

// ---- Qt's converter ---------------------------------------------------------

bool QtConverterWorks()
{
    return QStringDecoder(CodecName).isValid() && QStringEncoder(CodecName).isValid();
}

QString QtDecode(QByteArrayView bytes)
{
    QStringDecoder decoder(CodecName, QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

QByteArray QtEncode(QStringView text, bool &ok)
{
    QStringEncoder encoder(CodecName, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    ok = !encoder.hasError();
    return bytes;
}

// ---- the Qt 5 compatibility codec ------------------------------------------

#ifdef K80X_HAVE_CORE5COMPAT
QTextCodec *CompatCodec()
{
    return QTextCodec::codecForName(CodecName);
}

QString CompatDecode(QByteArrayView bytes)
{
    QTextCodec::ConverterState state;
    return CompatCodec()->toUnicode(bytes.data(), int(bytes.size()), &state);
}

QByteArray CompatEncode(QStringView text, bool &ok)
{
    QTextCodec::ConverterState state;
    QByteArray bytes = CompatCodec()->fromUnicode(text.data(), int(text.size()), &state);
    ok = state.invalidChars == 0;
    return bytes;
}
#endif

// ---- Windows code page 936 --------------------------------------------------

#ifdef Q_OS_WIN
constexpr UINT ChineseCodePage = 936;

QString WindowsDecode(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    const int length = MultiByteToWideChar(ChineseCodePage, 0, bytes.data(), int(bytes.size()),
                                           nullptr, 0);
    QString text(length, Qt::Uninitialized);
    MultiByteToWideChar(ChineseCodePage, 0, bytes.data(), int(bytes.size()),
                        reinterpret_cast<wchar_t *>(text.data()), length);
    return text;
}

QByteArray WindowsEncode(QStringView text, bool &ok)
{
    ok = true;
    if (text.isEmpty())
        return {};
    const auto *units = reinterpret_cast<const wchar_t *>(text.utf16());
    const char missing[] = {MissingCodeByte, '\0'};
    BOOL usedMissing = FALSE;
    // No "best fit": a character without a code becomes '?', not a look-alike.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int length = WideCharToMultiByte(ChineseCodePage, flags, units, int(text.size()),
                                           nullptr, 0, missing, &usedMissing);
    QByteArray bytes(length, Qt::Uninitialized);
    WideCharToMultiByte(ChineseCodePage, flags, units, int(text.size()), bytes.data(), length,
                        missing, &usedMissing);
    ok = usedMissing == FALSE;
    return bytes;
}
#endif

// ---- no route: ASCII only ---------------------------------------------------

QString AsciiDecode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = IsAscii(quint8(byte)) ? QChar(quint8(byte)) : QChar(ReplacementCharacter);
    return text;
}

QByteArray AsciiEncode(QStringView text, bool &ok)
{
    ok = true;
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char *out = bytes.data();
    for (const QChar character : text) {
        const bool known = IsAscii(character.unicode());
        ok = ok && known;
        *out++ = known ? char(character.unicode()) : MissingCodeByte;
    }
    return bytes;
}

bool RouteWorks(TRoute route)
{
    switch (route) {
    case TRoute::QtConverter:
        return QtConverterWorks();
    case TRoute::Qt5CompatCodec:
#ifdef K80X_HAVE_CORE5COMPAT
        return CompatCodec() != nullptr;
#else
        return false;
#endif
    case TRoute::WindowsCodePage:
#ifdef Q_OS_WIN
        return IsValidCodePage(ChineseCodePage) != FALSE;
#else
        return false;
#endif
    case TRoute::None:
        return true;
    }
    return false;
}

TRoute AutomaticRoute()
{
    static const TRoute route = [] {
        const QList<TRoute> working = TGbkText::WorkingRoutes();
        return working.isEmpty() ? TRoute::None : working.first();
    }();
    return route;
}

} // namespace

TGbkText::TRoute TGbkText::Route()
{
    const int forced = g_forcedRoute.load();
    return forced < 0 ? AutomaticRoute() : TRoute(forced);
}

QList<TGbkText::TRoute> TGbkText::WorkingRoutes()
{
    QList<TRoute> routes;
    for (const TRoute route : {TRoute::QtConverter, TRoute::Qt5CompatCodec, TRoute::WindowsCodePage}) {
        if (RouteWorks(route))
            routes.append(route);
    }
    return routes;
}

QString TGbkText::RouteName(TRoute route)
{
    switch (route) {
    case TRoute::QtConverter: return QStringLiteral("Qt converter");
    case TRoute::Qt5CompatCodec: return QStringLiteral("Qt 5 compatibility codec");
    case TRoute::WindowsCodePage: return QStringLiteral("Windows code page 936");
    case TRoute::None: break;
    }
    return QStringLiteral("none");
}

QString TGbkText::NoConversionReason()
{
    return QStringLiteral("this copy of the program has no GBK (code page 936) text conversion");
}

QString TGbkText::Decode(QByteArrayView bytes)
{
    switch (Route()) {
    case TRoute::QtConverter:
        return QtDecode(bytes);
#ifdef K80X_HAVE_CORE5COMPAT
    case TRoute::Qt5CompatCodec:
        return CompatDecode(bytes);
#endif
#ifdef Q_OS_WIN
    case TRoute::WindowsCodePage:
        return WindowsDecode(bytes);
#endif
    default:
        break;
    }
    return AsciiDecode(bytes);
}

bool TGbkText::CanDecode(QByteArrayView bytes)
{
    if (Available())
        return true;
    for (const char byte : bytes) {
        if (!IsAscii(quint8(byte)))
            return false;
    }
    return true;
}

QByteArray TGbkText::Encode(QStringView text, bool *ok)
{
    bool encoded = true;
    const QByteArray bytes = [&] {
        switch (Route()) {
        case TRoute::QtConverter:
            return QtEncode(text, encoded);
#ifdef K80X_HAVE_CORE5COMPAT
        case TRoute::Qt5CompatCodec:
            return CompatEncode(text, encoded);
#endif
#ifdef Q_OS_WIN
        case TRoute::WindowsCodePage:
            return WindowsEncode(text, encoded);
#endif
        default:
            break;
        }
        return AsciiEncode(text, encoded);
    }();
    if (ok)
        *ok = encoded;
    return bytes;
}

qsizetype TGbkText::ByteLength(QStringView text)
{
    if (Available())
        return Encode(text).size();
    qsizetype length = 0;
    for (const QChar character : text)
        length += IsAscii(character.unicode()) ? 1 : 2;
    return length;
}

bool TGbkText::ForceRouteForTests(TRoute route)
{
    if (!RouteWorks(route))
        return false;
    g_forcedRoute.store(int(route));
    return true;
}

void TGbkText::ResetRouteForTests()
{
    g_forcedRoute.store(-1);
}
