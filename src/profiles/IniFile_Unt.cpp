#include "profiles/IniFile_Unt.h"

#include "base/GbkText_Unt.h"
#include "base/Funs_Unt.h"
#include "base/FileSafety_Unt.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>

#include <limits>

namespace {

const QByteArray kNewLineEnding = QByteArrayLiteral("\r\n");
const QByteArray kLineFeed = QByteArrayLiteral("\n");   // shared by every line that ends in it
const QByteArray kUtf8Mark = QByteArrayLiteral("\xEF\xBB\xBF");

// Control bytes that text files hold: tab, line ends, vertical tab, form
// feed and the old end-of-file mark 0x1A. Any other byte below 0x20 means
// the file is not text.
bool IsTextByte(char byte)
{
    const auto value = quint8(byte);
    return value >= 0x20 || value == '\t' || value == '\n' || value == '\v' || value == '\f'
        || value == '\r' || value == 0x1A;
}

// One decoder per codec and thread, without state between lines.
QString Decode(const QByteArray &raw, bool utf8)
{
    constexpr auto flags = QStringConverter::Flag::Stateless;
    if (utf8) {
        thread_local QStringDecoder decoder(QStringConverter::Utf8, flags);
        return decoder.decode(raw);
    }
    return TGbkText::Decode(raw);
}

// Valid UTF-8 that holds characters beyond ASCII.
bool IsUtf8Text(const QByteArray &bytes)
{
    if (std::all_of(bytes.begin(), bytes.end(), [](char byte) { return quint8(byte) < 0x80; }))
        return false;
    QStringDecoder decoder(QStringConverter::Utf8);
    // The decoding runs when its result is taken.
    [[maybe_unused]] const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

QString LookupName(const QString &name)
{
    return TrimBlanks(name).toCaseFolded();
}

bool HasLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

// The section that names the values written escaped, one "section/key=1"
// line each; a file without such values has no such section.
const QString kEscapedSection = QStringLiteral("Escaped");

QString EscapeMark(const QString &section, const QString &key)
{
    return TrimBlanks(section) + QLatin1Char('/') + TrimBlanks(key);
}

bool IsControl(QChar c)
{
    return c.unicode() < 0x20 || c.unicode() == 0x7F;
}

// A value a line cannot hold as it is: a line break ends the line, and
// other control bytes make the file no text.
bool NeedsEscape(const QString &value)
{
    return std::any_of(value.begin(), value.end(), IsControl);
}

// Control characters, the backslash and blanks at either end as \xHH (two
// hex digits, upper case); everything else as it is.
QString Escape(const QString &value)
{
    static const char kHex[] = "0123456789ABCDEF";
    QString escaped;
    escaped.reserve(value.size() + 8);
    for (int index = 0; index < value.size(); ++index) {
        const QChar c = value.at(index);
        // Blanks at either end would be trimmed when the line is read.
        const bool end = index == 0 || index == value.size() - 1;
        if (IsControl(c) || c == QLatin1Char('\\') || (end && c == QLatin1Char(' '))) {
            escaped += QLatin1String("\\x");
            escaped += QLatin1Char(kHex[(c.unicode() >> 4) & 0xF]);
            escaped += QLatin1Char(kHex[c.unicode() & 0xF]);
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// The text of an escaped value; a backslash not followed by "x" and two
// hex digits stays as it is.
QString Unescape(const QString &value)
{
    QString text;
    text.reserve(value.size());
    for (int index = 0; index < value.size(); ++index) {
        if (value.at(index) == QLatin1Char('\\') && index + 3 < value.size()
            && value.at(index + 1) == QLatin1Char('x')) {
            const int high = HexDigitValue(value.at(index + 2));
            const int low = HexDigitValue(value.at(index + 3));
            if (high >= 0 && low >= 0) {
                text += QChar(char16_t(high * 16 + low));
                index += 3;
                continue;
            }
        }
        text += value.at(index);
    }
    return text;
}

QByteArray Encode(const QString &text, bool utf8)
{
    if (utf8)
        return text.toUtf8();
    // Characters outside GBK become "?", as the platform's conversion does.
    return TGbkText::Encode(text);
}

} // namespace

// ---------------------------------------------------------------------------
// TIniFile

TIniFile::TIniFile(const QString &fileName) : m_fileName(fileName) {}

TIniFile::TLine TIniFile::ParseLine(const QByteArray &raw, const QByteArray &eol) const
{
    TLine line;
    line.raw = raw;
    line.eol = eol;
    const QString text = Decode(raw, m_utf8);
    const QString trimmed = TrimBlanks(text);
    if (trimmed.isEmpty()) {
        line.type = TLineType::Blank;
    } else if (trimmed.startsWith(QLatin1Char(';'))) {
        line.type = TLineType::Comment;
    } else if (trimmed.startsWith(QLatin1Char('[')) && trimmed.lastIndexOf(QLatin1Char(']')) > 0) {
        line.type = TLineType::Section;
        line.name = TrimBlanks(trimmed.mid(1, trimmed.lastIndexOf(QLatin1Char(']')) - 1));
    } else if (text.contains(QLatin1Char('='))) {
        const int equals = text.indexOf(QLatin1Char('='));
        line.type = TLineType::Key;
        line.name = text.left(equals);
        line.value = TrimBlanks(text.mid(equals + 1));
    }
    return line;
}

void TIniFile::SetBytes(const QByteArray &bytes)
{
    m_lines.clear();
    m_index.reset();
    m_utf8Mark = bytes.startsWith(kUtf8Mark);
    m_utf8 = m_utf8Mark || IsUtf8Text(bytes);
    int start = m_utf8Mark ? kUtf8Mark.size() : 0;
    while (start < bytes.size()) {
        const int newline = bytes.indexOf('\n', start);
        if (newline < 0) {
            m_lines.push_back(ParseLine(bytes.mid(start), QByteArray()));
            break;
        }
        const bool crlf = newline > start && bytes.at(newline - 1) == '\r';
        const int textEnd = crlf ? newline - 1 : newline;
        m_lines.push_back(ParseLine(bytes.mid(start, textEnd - start), crlf ? kNewLineEnding : kLineFeed));
        start = newline + 1;
    }
}

QByteArray TIniFile::Bytes() const
{
    QByteArray bytes = m_utf8Mark ? kUtf8Mark : QByteArray();
    for (const TLine &line : m_lines)
        bytes += line.raw + line.eol;
    return bytes;
}

TIniResult TIniFile::Load()
{
    m_lines.clear();
    m_index.reset();
    m_utf8 = false;
    m_utf8Mark = false;
    // Looked at before reading: a FIFO or a device would block or never end.
    const FileSafety::TReadResult read = FileSafety::ReadRegularFile(m_fileName, MaxFileSize);
    switch (read.error) {
    case FileSafety::TFileError::None:
        break;
    case FileSafety::TFileError::Missing:
        return {TIniError::Missing, QStringLiteral("No such file")};
    case FileSafety::TFileError::NotRegular:
        return {TIniError::ReadFailed, QFileInfo(m_fileName).isDir() ? QStringLiteral("Is a directory")
                                                                     : QStringLiteral("Not a regular file")};
    case FileSafety::TFileError::TooLarge:
        // The messages of the language tables say what is wrong; there is
        // no system text to add.
        return {TIniError::TooLarge, QString()};
    case FileSafety::TFileError::Failed:
        return {TIniError::ReadFailed, read.detail};
    }
    const QByteArray &bytes = read.bytes;
    if (bytes.count('\n') >= MaxLineCount)
        return {TIniError::TooLarge, QString()};
    if (!std::all_of(bytes.begin(), bytes.end(), IsTextByte))
        return {TIniError::NotText, QString()};
    if (!bytes.startsWith(kUtf8Mark) && !TGbkText::CanDecode(bytes))
        return {TIniError::ReadFailed, TGbkText::NoConversionReason()};
    SetBytes(bytes);
    if (!m_utf8) {
        // Bytes no GBK character has are named, not shown as other text.
        for (int index = 0; index < int(m_lines.size()); ++index) {
            const int column = int(Decode(m_lines[index].raw, false).indexOf(QChar::ReplacementCharacter));
            if (column >= 0) {
                m_lines.clear();
                m_index.reset();
                TIniResult result{TIniError::NotText, QString()};
                result.line = index + 1;
                result.column = column + 1;
                return result;
            }
        }
    }
    return {};
}

TIniResult TIniFile::LoadForUpdate()
{
    TIniResult result = Load();
    if (result.error == TIniError::Missing)
        return {};
    return result;
}

TIniResult TIniFile::Save() const
{
    // The lines written since Load hold '?' for every Chinese character
    // without a conversion; the file on disk stays as it was.
    if (!TGbkText::Available())
        return {TIniError::WriteFailed, TGbkText::NoConversionReason()};
    // Profiles hold the device's password.
    const FileSafety::TSaveResult saved = FileSafety::SaveFile(m_fileName, Bytes(), true);
    if (saved.error == FileSafety::TFileError::NotRegular)
        return {TIniError::WriteFailed, QStringLiteral("Not a regular file (a link, folder, device or FIFO)")};
    if (!saved.ok())
        return {TIniError::WriteFailed, saved.detail};
    return {};
}

const TIniFile::TIndex &TIniFile::Index() const
{
    if (m_index)
        return *m_index;
    TIndex &index = m_index.emplace();
    int header = -1;
    for (int lineIndex = 0; lineIndex < int(m_lines.size()); ++lineIndex) {
        const TLine &line = m_lines[lineIndex];
        if (line.type == TLineType::Section) {
            header = lineIndex;
            const QString name = LookupName(line.name);
            if (!index.sections.contains(name))
                index.sections.insert(name, lineIndex);
        } else if (line.type == TLineType::Key && header >= 0) {
            const QPair<int, QString> key(header, LookupName(line.name));
            if (!index.keys.contains(key))
                index.keys.insert(key, lineIndex);
        }
    }
    return index;
}

int TIniFile::FindSection(const QString &section) const
{
    return Index().sections.value(LookupName(section), -1);
}

int TIniFile::SectionEnd(int header) const
{
    int index = header + 1;
    while (index < int(m_lines.size()) && m_lines[index].type != TLineType::Section)
        ++index;
    return index;
}

int TIniFile::FindKey(int header, const QString &key) const
{
    return Index().keys.value(qMakePair(header, LookupName(key)), -1);
}

const TIniFile::TLine *TIniFile::FindKeyLine(const QString &section, const QString &key) const
{
    const int header = FindSection(section);
    if (header < 0)
        return nullptr;
    const int index = FindKey(header, key);
    return index < 0 ? nullptr : &m_lines[index];
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const TLine *line = FindKeyLine(section, key);
    if (!line)
        return defaultValue;
    return IsEscaped(section, key) ? Unescape(line->value) : UnquoteProfileValue(line->value);
}

bool TIniFile::IsEscaped(const QString &section, const QString &key) const
{
    const TLine *mark = FindKeyLine(kEscapedSection, EscapeMark(section, key));
    return mark && ParseProfileInteger(mark->value).value_or(0) != 0;
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const TLine *line = FindKeyLine(section, key);
    if (!line)
        return defaultValue;
    return ParseProfileInteger(UnquoteProfileValue(line->value)).value_or(defaultValue);
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    const TLine *line = FindKeyLine(section, key);
    if (!line)
        return defaultValue;
    const std::optional<int> number = ParseProfileInteger(UnquoteProfileValue(line->value));
    return number ? *number != 0 : defaultValue;
}

QTime TIniFile::ReadTime(const QString &section, const QString &key, const QTime &defaultValue) const
{
    const TLine *line = FindKeyLine(section, key);
    if (!line)
        return defaultValue;
    const QTime time = ParseProfileTime(UnquoteProfileValue(line->value));
    return time.isValid() ? time : defaultValue;
}

bool TIniFile::SectionExists(const QString &section) const
{
    return FindSection(section) >= 0;
}

bool TIniFile::KeyExists(const QString &section, const QString &key) const
{
    return FindKeyLine(section, key) != nullptr;
}

QStringList TIniFile::SectionNames() const
{
    QStringList names;
    for (const TLine &line : m_lines) {
        if (line.type == TLineType::Section)
            names << line.name;
    }
    return names;
}

std::vector<TIniEntry> TIniFile::SectionEntries(const QString &section) const
{
    std::vector<TIniEntry> entries;
    const int header = FindSection(section);
    if (header < 0)
        return entries;
    const int end = SectionEnd(header);
    for (int index = header + 1; index < end; ++index) {
        const TLine &line = m_lines[index];
        if (line.type == TLineType::Key)
            entries.push_back({line.name, IsEscaped(section, line.name) ? Unescape(line.value) : line.value});
    }
    return entries;
}

QStringList TIniFile::SectionLines(const QString &section) const
{
    QStringList lines;
    for (const TIniEntry &entry : SectionEntries(section))
        lines << TrimBlanks(entry.key) + QLatin1Char('=') + entry.value;
    return lines;
}

void TIniFile::EndLine(TLine &line)
{
    if (!line.eol.isEmpty())
        return;
    // A last line cut after its CR only needs the LF.
    if (line.raw.endsWith('\r'))
        line.raw.chop(1);
    line.eol = kNewLineEnding;
}

void TIniFile::EnsureLastLineEnded()
{
    if (!m_lines.empty())
        EndLine(m_lines.back());
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (!NeedsEscape(value)) {
        if (!WriteLine(section, key, value))
            return false;
        // A value written escaped before is plain now.
        const QString mark = EscapeMark(section, key);
        return !KeyExists(kEscapedSection, mark) || WriteLine(kEscapedSection, mark, QStringLiteral("0"));
    }
    // The mark is checked first, so that a refusal changes nothing.
    const QString mark = EscapeMark(section, key);
    if (mark.contains(QLatin1Char('=')) || mark.startsWith(QLatin1Char('[')) || mark.startsWith(QLatin1Char(';')))
        return false;
    return WriteLine(section, key, Escape(value)) && WriteLine(kEscapedSection, mark, QStringLiteral("1"));
}

bool TIniFile::WriteLine(const QString &section, const QString &key, const QString &value)
{
    const QString sectionName = TrimBlanks(section);
    const QString keyName = TrimBlanks(key);
    if (sectionName.isEmpty() || keyName.isEmpty())
        return false;
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    if (sectionName.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')))
        return false;
    if (keyName.startsWith(QLatin1Char('[')) || keyName.startsWith(QLatin1Char(';')))
        return false;

    const QByteArray encodedValue = Encode(value, m_utf8);
    const int header = FindSection(section);
    if (header >= 0) {
        const int existing = FindKey(header, key);
        if (existing >= 0) {
            // Keep the key's bytes up to "=" as they are: 0x3D is never the
            // second byte of a GBK character, so the first one is the "=".
            TLine &line = m_lines[existing];
            const QByteArray raw = line.raw.left(line.raw.indexOf('=') + 1) + encodedValue;
            line = ParseLine(raw, line.eol);
            return true;
        }
        int after = header;
        for (int index = header + 1; index < SectionEnd(header); ++index) {
            if (m_lines[index].type != TLineType::Blank)
                after = index;
        }
        EndLine(m_lines[after]);
        m_index.reset();
        m_lines.insert(m_lines.begin() + after + 1,
                       ParseLine(Encode(key, m_utf8) + '=' + encodedValue, kNewLineEnding));
        return true;
    }

    EnsureLastLineEnded();
    m_index.reset();
    m_lines.push_back(ParseLine('[' + Encode(sectionName, m_utf8) + ']', kNewLineEnding));
    m_lines.push_back(ParseLine(Encode(key, m_utf8) + '=' + encodedValue, kNewLineEnding));
    return true;
}

bool TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    return WriteString(section, key, QString::number(value));
}

bool TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    return WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

bool TIniFile::WriteTime(const QString &section, const QString &key, const QTime &value)
{
    if (!value.isValid())
        return false;
    return WriteString(section, key, value.toString(QStringLiteral("H:mm:ss")));
}

// ---------------------------------------------------------------------------
// Profile rules

QString TrimBlanks(const QString &text)
{
    int first = 0;
    int last = text.size() - 1;
    while (first <= last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last >= first && text.at(last).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first + 1);
}

std::optional<int> ParseProfileInteger(const QString &text)
{
    const TNumber number = ParseDecimal(text);
    if (!number.Ok() || number.Value < std::numeric_limits<int>::min()
        || number.Value > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(number.Value);
}

QString UnquoteProfileValue(const QString &value)
{
    const QLatin1Char quote('"');
    if (value.size() >= 2 && value.front() == quote && value.back() == quote)
        return value.mid(1, value.size() - 2);
    return value;
}

QTime ParseProfileTime(const QString &text, const QLocale &system)
{
    // Hour, minute and optional second, with an optional AM/PM marker before
    // or after; the marker's dots and case do not matter.
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*(?:(%1)\\s*)?([0-9]{1,2}):([0-9]{1,2})(?::([0-9]{1,2}))?\\s*(%1)?\\s*$")
            .arg(QStringLiteral("[AaPp]\\.?[Mm]\\.?|\u4E0A\u5348|\u4E0B\u5348")));
    const QRegularExpressionMatch match = pattern.match(text);
    if (match.hasMatch() && (match.captured(1).isEmpty() || match.captured(5).isEmpty())) {
        const QString marker = match.captured(1) + match.captured(5);
        int hour = int(ParseDecimal(match.captured(2)).Value);
        const int minute = int(ParseDecimal(match.captured(3)).Value);
        const int second = match.captured(4).isEmpty() ? 0 : int(ParseDecimal(match.captured(4)).Value);
        if (!marker.isEmpty()) {
            if (hour < 1 || hour > 12)
                return QTime();
            const bool afternoon = marker.startsWith(QLatin1Char('P'), Qt::CaseInsensitive)
                                   || marker == QStringLiteral("\u4E0B\u5348");
            hour = hour % 12 + (afternoon ? 12 : 0);
        }
        return QTime(hour, minute, second);
    }
    // A profile holds no time zone, and Qt's long formats end in one.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    for (const QLocale::FormatType type : {QLocale::LongFormat, QLocale::ShortFormat}) {
        const QString format = system.timeFormat(type).remove(zone).trimmed();
        const QTime time = system.toTime(text.trimmed(), format);
        if (time.isValid())
            return time;
    }
    return QTime();
}

QString ProfileFileName(const QString &chosenName)
{
    if (chosenName.contains(QLatin1String(".ini"), Qt::CaseSensitive))
        return chosenName;
    return chosenName + QLatin1String(".ini");
}

QString DefaultProfileName(int modelIndex, const QDateTime &when)
{
    static const char *const kModels[] = {"K801", "K802", "K803"};
    const QString model = modelIndex >= 0 && modelIndex <= 2 ? QLatin1String(kModels[modelIndex])
                                                             : QStringLiteral("K80x");
    return model + QLatin1Char('_') + when.toString(QStringLiteral("yyMMddHHmmss")) + QLatin1String(".ini");
}

QString JoinListValue(const QStringList &subItems, int columnCount)
{
    QString value;
    for (int index = 0; index <= columnCount - 2; ++index) {
        const QString cell = index < subItems.size() ? TrimBlanks(subItems.at(index)) : QString();
        value += cell.isEmpty() ? QStringLiteral("~") : cell;
        value += QLatin1Char('^');
    }
    return value;
}

std::vector<std::optional<QString>> SplitListValue(const QString &value, int columnCount)
{
    std::vector<std::optional<QString>> subItems(std::max(columnCount - 1, 0));
    int end = value.size();
    while (end > 0 && value.at(end - 1) == QLatin1Char('^'))
        --end;
    if (end == 0)
        return subItems;
    const QStringList fields = value.left(end).split(QLatin1Char('^'), Qt::KeepEmptyParts);
    for (int index = 0; index < fields.size() && index < int(subItems.size()); ++index)
        subItems[index] = fields.at(index) == QLatin1String("~") ? QString() : fields.at(index);
    return subItems;
}

std::optional<QString> FindRowValue(const std::vector<TIniEntry> &entries, const QString &rowCaption)
{
    const QString caption = TrimBlanks(rowCaption);
    for (const TIniEntry &entry : entries) {
        if (TrimBlanks(entry.key) == caption)
            return entry.value;
    }
    return std::nullopt;
}

std::vector<int> MatchRowEntries(const std::vector<TIniEntry> &entries, const QList<QStringList> &captions,
                                 const QStringList &reservedKeys)
{
    const int rowCount = captions.isEmpty() ? 0 : int(captions.first().size());
    std::vector<int> matched(rowCount, -1);
    std::vector<bool> taken(entries.size(), false);
    QSet<QString> knownCaptions;
    for (const QString &key : reservedKeys)
        knownCaptions.insert(TrimBlanks(key));
    for (const QStringList &language : captions) {
        for (const QString &caption : language)
            knownCaptions.insert(TrimBlanks(caption));
    }

    for (const QStringList &language : captions) {
        for (int row = 0; row < rowCount && row < language.size(); ++row) {
            if (matched[row] >= 0)
                continue;
            const QString caption = TrimBlanks(language.at(row));
            for (int index = 0; index < int(entries.size()); ++index) {
                if (!taken[index] && TrimBlanks(entries[index].key) == caption) {
                    matched[row] = index;
                    taken[index] = true;
                    break;
                }
            }
        }
    }
    for (int row = 0; row < rowCount && row < int(entries.size()); ++row) {
        if (matched[row] < 0 && !taken[row] && !knownCaptions.contains(TrimBlanks(entries[row].key))) {
            matched[row] = row;
            taken[row] = true;
        }
    }
    return matched;
}
