#include "debug/ProtocolNotation_Unt.h"

#include "base/Funs_Unt.h"
#include "base/GbkText_Unt.h"


namespace {

constexpr quint8 FrameStartByte = 0x23;

QString ByteToken(quint8 byte, TDisplayMode mode)
{
    switch (mode) {
    case TDisplayMode::Hex:
        return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    case TDisplayMode::Bits:
        return BitsToText(byte, 8);
    case TDisplayMode::Decimal:
        return QString::number(byte);
    case TDisplayMode::Ansi:
        break;
    }
    return {};
}

QString SpacedTokens(const QByteArray &bytes, TDisplayMode mode)
{
    QString text;
    text.reserve(bytes.size() * (mode == TDisplayMode::Bits ? 9 : 3));
    for (char byte : bytes) {
        text += ByteToken(quint8(byte), mode);
        text += QLatin1Char(' ');
    }
    return text;
}

bool IsBlankOrControl(QChar character)
{
    return character.unicode() <= 0x20;
}

} // namespace

QString FormatFrame(const QByteArray &bytes, TDisplayMode mode)
{
    if (mode == TDisplayMode::Ansi)
        return BytesToText(bytes, int(bytes.size()) - 1);
    return SpacedTokens(bytes, mode);
}

QString FormatByteList(const QByteArray &bytes, TDisplayMode mode)
{
    if (bytes.isEmpty())
        return {};
    if (mode != TDisplayMode::Ansi)
        return SpacedTokens(bytes, mode);

    const QString all = TGbkText::Decode(bytes);
    int first = 0;
    int last = int(all.size()) - 1;
    while (first <= last && IsBlankOrControl(all.at(first)))
        ++first;
    while (last >= first && IsBlankOrControl(all.at(last)))
        --last;
    return all.mid(first, last - first + 1) + QLatin1Char(' ');
}

QString FrameStartMarker(TDisplayMode mode)
{
    return ByteToken(FrameStartByte, mode);
}

QList<TTextSpan> FrameStartMarks(const QString &line, TDisplayMode mode)
{
    QList<TTextSpan> marks;
    const QString marker = FrameStartMarker(mode);
    if (marker.isEmpty())
        return marks;
    int tokenStart = 0;
    const int size = int(line.size());
    for (int index = 0; index <= size; ++index) {
        if (index < size && line.at(index) != QLatin1Char(' '))
            continue;
        const int length = index - tokenStart;
        if (length == marker.size() && QStringView(line).mid(tokenStart, length) == marker)
            marks.append({tokenStart, length});
        tokenStart = index + 1;
    }
    return marks;
}

QStringList PaneLines(const QString &text)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    QString line;
    const int size = int(text.size());
    for (int index = 0; index < size; ++index) {
        const QChar character = text.at(index);
        if (character == QLatin1Char('\r') || character == QLatin1Char('\n')) {
            if (character == QLatin1Char('\r') && index + 1 < size
                && text.at(index + 1) == QLatin1Char('\n'))
                ++index;
            lines.append(line);
            line.clear();
        } else {
            line += character;
        }
    }
    const QChar lastCharacter = text.at(size - 1);
    if (lastCharacter != QLatin1Char('\r') && lastCharacter != QLatin1Char('\n'))
        lines.append(line);
    return lines;
}

int CountLines(const QString &text)
{
    return int(PaneLines(text).size());
}
