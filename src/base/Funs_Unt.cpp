#include "base/Funs_Unt.h"

#include "base/GbkText_Unt.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

constexpr quint8 ErasedByte = 0xFF;

QByteArray WithoutErasedBytes(const QByteArray &bytes, int count)
{
    QByteArray kept;
    kept.reserve(count);
    for (int index = 0; index < count; ++index) {
        if (quint8(bytes.at(index)) != ErasedByte)
            kept.append(bytes.at(index));
    }
    return kept;
}

// Zeroes field bytes 0 to lastIndex, growing field to hold them.
void ClearField(QByteArray &field, int lastIndex)
{
    if (field.size() < lastIndex + 1)
        field.resize(lastIndex + 1);
    std::fill(field.begin(), field.begin() + lastIndex + 1, '\0');
}


bool CaseInsensitiveLess(const QString &left, const QString &right)
{
    const int order = QString::compare(left, right, Qt::CaseInsensitive);
    // Names that differ only in case still get a fixed order.
    return order != 0 ? order < 0 : left < right;
}

QString FileExtension(const QString &fileName)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : fileName.mid(dot);
}

void CollectFiles(const QString &directory, const QString &extension, bool anyExtension,
                  QSet<QString> &visited, QStringList &found)
{
    const QString canonical = QFileInfo(directory).canonicalFilePath();
    // A link back up the tree would otherwise make the walk endless.
    if (canonical.isEmpty() || visited.contains(canonical))
        return;
    visited.insert(canonical);

    const QFileInfoList entries = QDir(directory).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir()) {
            CollectFiles(entry.filePath(), extension, anyExtension, visited, found);
        } else if (anyExtension
                   || QString::compare(FileExtension(entry.fileName()), extension,
                                       Qt::CaseInsensitive) == 0) {
            found.append(entry.filePath());
        }
    }
}

} // namespace

void SortPortNames(QStringList &names)
{
    std::sort(names.begin(), names.end(), CaseInsensitiveLess);
}

QString ProgramVersionText()
{
    return QStringLiteral("V" K80X_VERSION);
}

void PasswordKeyFilter(QChar &key)
{
    const char16_t code = key.unicode();
    const bool passes = code == 8 || code == 13 || code == 127 || (code >= u'0' && code <= u'9')
        || (code >= u'A' && code <= u'Z') || (code >= u'a' && code <= u'z');
    if (!passes)
        key = QChar(0);
}

QString BytesToText(const QByteArray &bytes, int lastIndex)
{
    return BytesToTextCount(bytes, lastIndex < 0 ? 0 : int(qMin<qint64>(qint64(lastIndex) + 1, bytes.size())));
}

QString BytesToTextCount(const QByteArray &bytes, int count)
{
    const int available = qMin(count, int(bytes.size()));
    if (available <= 0 || bytes.at(0) == 0)
        return {};
    return TGbkText::Decode(WithoutErasedBytes(bytes, available));
}

QString BytesToHexText(const QByteArray &bytes, int count)
{
    const int available = qBound(0, count, int(bytes.size()));
    return QString::fromLatin1(WithoutErasedBytes(bytes, available).toHex().toUpper());
}

bool TextToBytes(const QString &text, QByteArray &field, int lastIndex)
{
    if (lastIndex < 0)
        return true;
    ClearField(field, lastIndex);
    if (text.trimmed().isEmpty())
        return true;

    const int capacity = lastIndex + 1;
    QByteArray encoded;
    bool allEncoded = true;
    for (int index = 0; index < text.size();) {
        const int length =
            text.at(index).isHighSurrogate() && index + 1 < text.size()
                && text.at(index + 1).isLowSurrogate()
            ? 2
            : 1;
        bool characterEncoded = true;
        const QByteArray character =
            TGbkText::Encode(QStringView(text).mid(index, length), &characterEncoded);
        if (encoded.size() + character.size() > capacity)
            break;
        encoded.append(character);
        allEncoded = allEncoded && characterEncoded;
        index += length;
    }
    std::copy(encoded.cbegin(), encoded.cend(), field.begin());
    return allEncoded;
}

QByteArray TextToBytes(const QString &text, int fieldSize)
{
    QByteArray field(qMax(fieldSize, 0), '\0');
    TextToBytes(text, field, fieldSize - 1);
    return field;
}

bool HexTextToBytes(const QString &text, QByteArray &field, int lastIndex)
{
    if (lastIndex < 0)
        return true;
    ClearField(field, lastIndex);
    const QString digits = RemoveSpaces(text).trimmed();
    const int pairs = qMin(int(digits.size() / 2), lastIndex + 1);
    QByteArray values(pairs, '\0');
    for (int pair = 0; pair < pairs; ++pair) {
        const int high = HexDigitValue(digits.at(2 * pair));
        const int low = HexDigitValue(digits.at(2 * pair + 1));
        if (high < 0 || low < 0)
            return false;
        values[pair] = char(high * 16 + low);
    }
    std::copy(values.cbegin(), values.cend(), field.begin());
    return true;
}

QString RemoveSpaces(const QString &text)
{
    QString result = text;
    result.remove(QLatin1Char(' '));
    return result;
}

QString BitsToText(quint32 value, int width)
{
    QString text;
    text.reserve(qMax(width, 0));
    for (int bit = width - 1; bit >= 0; --bit)
        text.append(bit < 32 && (value >> bit) & 1u ? QLatin1Char('1') : QLatin1Char('0'));
    return text;
}

QStringList FindFiles(const QString &directory, const QString &extension)
{
    if (directory.isEmpty() || !QFileInfo(directory).isDir())
        return {};
    QStringList found;
    QSet<QString> visited;
    CollectFiles(QDir::cleanPath(QDir::fromNativeSeparators(directory)), extension, extension == QLatin1String(".*"), visited, found);
    std::sort(found.begin(), found.end(), CaseInsensitiveLess);
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

namespace {

bool AllAsciiDigits(QStringView text)
{
    for (const QChar character : text) {
        if (character < QLatin1Char('0') || character > QLatin1Char('9'))
            return false;
    }
    return true;
}

TNumber MakeNumber(TNumberKind kind, qint64 value = 0)
{
    TNumber number;
    number.Kind = kind;
    number.Value = value;
    return number;
}

} // namespace

TNumber ParseDecimal(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return MakeNumber(TNumberKind::Empty);
    const qsizetype digitsFrom =
        trimmed.front() == QLatin1Char('+') || trimmed.front() == QLatin1Char('-') ? 1 : 0;
    if (digitsFrom == trimmed.size() || !AllAsciiDigits(QStringView(trimmed).mid(digitsFrom)))
        return MakeNumber(TNumberKind::NotNumber);
    bool ok = false;
    const qint64 value = trimmed.toLongLong(&ok, 10);
    // The form is right, so the only way to fail is a value beyond qint64.
    return ok ? MakeNumber(TNumberKind::Number, value) : MakeNumber(TNumberKind::OutOfRange);
}

TNumber ParseTenths(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return MakeNumber(TNumberKind::Empty);
    QStringView body(trimmed);
    const bool negative = body.front() == QLatin1Char('-');
    if (negative || body.front() == QLatin1Char('+'))
        body = body.mid(1);
    const qsizetype point = body.indexOf(QLatin1Char('.'));
    const QStringView whole = point < 0 ? body : body.left(point);
    const QStringView fraction = point < 0 ? QStringView() : body.mid(point + 1);
    if ((whole.isEmpty() && fraction.isEmpty()) || !AllAsciiDigits(whole) || !AllAsciiDigits(fraction))
        return MakeNumber(TNumberKind::NotNumber);

    qint64 wholeValue = 0;
    if (!whole.isEmpty()) {
        const TNumber parsed = ParseDecimal(whole.toString());
        if (!parsed.Ok())
            return MakeNumber(TNumberKind::OutOfRange);
        wholeValue = parsed.Value;
    }
    if (wholeValue > std::numeric_limits<qint64>::max() / 10 - 1)
        return MakeNumber(TNumberKind::OutOfRange);
    qint64 tenths = wholeValue * 10;
    if (!fraction.isEmpty())
        tenths += fraction.at(0).unicode() - u'0';
    if (fraction.size() > 1 && fraction.at(1) >= QLatin1Char('5'))
        tenths += 1;
    return MakeNumber(TNumberKind::Number, negative ? -tenths : tenths);
}

int HexDigitValue(QChar digit)
{
    const char16_t code = digit.unicode();
    if (code >= u'0' && code <= u'9')
        return code - u'0';
    if (code >= u'A' && code <= u'F')
        return code - u'A' + 10;
    if (code >= u'a' && code <= u'f')
        return code - u'a' + 10;
    return -1;
}
