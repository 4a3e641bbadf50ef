#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QHash>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>
#include <vector>

// A Windows-style INI file as the profile files use it: 8-bit text in code
// page 936 (GBK), "[Section]" headers, "key=value" lines, ";" comments.
//
// It answers like the Windows profile functions: section and key names match
// without regard to case and to surrounding blanks, values are read with
// surrounding blanks removed and then one surrounding pair of double quotes
// removed (ReadString and the reads built on it; SectionEntries gives the
// values as written), the first of duplicate sections or keys wins.
// Writing a key changes only that key's line; every other line keeps its
// bytes, its order and its line ending. A new key goes after the last
// non-blank line of its section, a new section at the end of the file; new
// lines end in CR LF.
//
// The file is read once by Load and written once by Save; everything between
// works on the copy in memory. A file that starts with the UTF-8 byte-order
// mark is read and written as UTF-8, the mark kept. So is a file without the
// mark that is valid UTF-8 throughout and holds characters beyond ASCII (as
// editors save it): GBK text is practically never valid UTF-8 beyond a word,
// and the Chinese list captions of a GBK profile never are.

enum class TIniError {
    None,
    Missing,     // Load: the file does not exist
    ReadFailed,  // Load: the file exists but cannot be read
    WriteFailed, // Save: the file could not be written; the old file is intact
    TooLarge,    // Load: more than TIniFile::MaxFileSize bytes or MaxLineCount lines
    NotText,     // Load: control bytes that no text holds (such as 0x00)
    NotProfile,  // a profile load: no [Value] section, or none of the profile's keys
};

struct TIniResult {
    TIniError error = TIniError::None;
    QString detail; // the system's error text, empty on success
    // NotText for bytes that are neither GBK nor UTF-8: where the first such
    // bytes are, line and column counted from 1; 0 otherwise.
    int line = 0;
    int column = 0;

    bool ok() const { return error == TIniError::None; }
    explicit operator bool() const { return ok(); }
};

// One "key=value" line of a section: the key exactly as written in the file
// (blanks included, e.g. "  3"), the value with surrounding blanks removed.
struct TIniEntry {
    QString key;
    QString value;
};

class TIniFile
{
public:
    // A saved profile is under 100 KB in a few hundred lines.
    static constexpr qint64 MaxFileSize = 1024 * 1024;
    static constexpr int MaxLineCount = 20000;

    explicit TIniFile(const QString &fileName = QString());

    QString FileName() const { return m_fileName; }

    // Reads the whole file. A missing file gives TIniError::Missing, an
    // unreadable one TIniError::ReadFailed, one too large or not text
    // TooLarge or NotText (read no further than the size limit); the content
    // then stays empty.
    [[nodiscard]] TIniResult Load();
    // As Load, but a missing file is no error: it starts empty and Save
    // creates it. Used before writing a profile, which updates an existing
    // file rather than replacing it.
    [[nodiscard]] TIniResult LoadForUpdate();
    // Writes the whole content through a temporary file that replaces the
    // file only when completely written; on failure the old file is intact.
    [[nodiscard]] TIniResult Save() const;

    // The content as the bytes of the file, and replacing it by such bytes.
    QByteArray Bytes() const;
    void SetBytes(const QByteArray &bytes);

    // The value of `key` in `section`, or `defaultValue` when either is missing.
    QString ReadString(const QString &section, const QString &key,
                       const QString &defaultValue = QString()) const;
    // A decimal integer (optional sign); text that is not one, or a missing
    // key, gives `defaultValue`.
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // True for any non-zero integer, false for 0; text that is not an integer
    // (e.g. "TRUE"), or a missing key, gives `defaultValue`.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    // A time of day as ParseProfileTime reads it; anything else, or a missing
    // key, gives `defaultValue`.
    QTime ReadTime(const QString &section, const QString &key, const QTime &defaultValue) const;

    bool SectionExists(const QString &section) const;
    bool KeyExists(const QString &section, const QString &key) const;

    // Section names as written in their headers, in file order.
    QStringList SectionNames() const;
    // The "key=value" lines of a section (blanks around key and value removed),
    // and the same lines as entries with the key as written; escaped values
    // as they were before escaping.
    QStringList SectionLines(const QString &section) const;
    std::vector<TIniEntry> SectionEntries(const QString &section) const;

    // Sets `key` in `section` to `value`, adding the key or the section when
    // missing. The key is written as given (blanks included). Returns false,
    // changing nothing, when the names cannot be stored in an INI line: an
    // empty name, a line break, "=" in the key, a key that would read as a
    // header or comment, "]" in the section name. Characters that GBK cannot
    // hold are stored as "?".
    // A value holding control characters (a line break, 0x01, ESC: device
    // texts may) is written escaped, each such character, each backslash
    // and a blank at either end as \xHH, and named in the [Escaped] section
    // by a "section/key=1" line; ReadString and SectionEntries give it back
    // as it was. A value without control characters is written as it is,
    // so a file without such values is what it always was.
    [[nodiscard]] bool WriteString(const QString &section, const QString &key, const QString &value);
    [[nodiscard]] bool WriteInteger(const QString &section, const QString &key, int value);
    // Writes "1" or "0".
    [[nodiscard]] bool WriteBool(const QString &section, const QString &key, bool value);
    // Writes H:mm:ss, e.g. 9:05:00.
    [[nodiscard]] bool WriteTime(const QString &section, const QString &key, const QTime &value);

private:
    enum class TLineType { Blank, Comment, Section, Key, Other };

    struct TLine {
        QByteArray raw; // the line's bytes without its line ending
        QByteArray eol; // "\r\n", "\n" or empty (last line without one)
        TLineType type = TLineType::Other;
        QString name;   // section name (trimmed) or key as written
        QString value;  // key value, trimmed
    };

    // Section names and keys folded for look-up (blanks trimmed, case
    // folded): the first header of each section, and the first line of each
    // key in the section of each header. Built on the first look-up, dropped
    // when lines are added or replaced.
    struct TIndex {
        QHash<QString, int> sections;
        QHash<QPair<int, QString>, int> keys;
    };
    const TIndex &Index() const;

    TLine ParseLine(const QByteArray &raw, const QByteArray &eol) const;
    // WriteString without escaping: false for a value with a line break.
    bool WriteLine(const QString &section, const QString &key, const QString &value);
    // The value of key in section was written escaped.
    bool IsEscaped(const QString &section, const QString &key) const;
    // Index of the first header of `section`, or -1.
    int FindSection(const QString &section) const;
    // One past the last line of the section whose header is at `header`.
    int SectionEnd(int header) const;
    // Index of the first line of `key` in the section at `header`, or -1.
    int FindKey(int header, const QString &key) const;
    const TLine *FindKeyLine(const QString &section, const QString &key) const;
    static void EndLine(TLine &line);
    void EnsureLastLineEnded();

    QString m_fileName;
    bool m_utf8 = false;     // the content is UTF-8
    bool m_utf8Mark = false; // the content started with the UTF-8 byte-order mark
    std::vector<TLine> m_lines;
    mutable std::optional<TIndex> m_index;
};

// ---------------------------------------------------------------------------
// Profile rules that need no window.

// Blanks (every character up to U+0020) removed from both ends; other
// whitespace such as the ideographic space stays.
QString TrimBlanks(const QString &text);

// The integer of a profile value as ParseDecimal reads it (blanks around,
// optional sign, decimal digits), within the range of int; std::nullopt
// otherwise.
std::optional<int> ParseProfileInteger(const QString &text);

// A value with one surrounding pair of double quotes removed ("\"a b\"" gives
// "a b"); any other value as it is.
QString UnquoteProfileValue(const QString &value);

// A time of day as profiles from this program and from PCs with other
// settings write it: 24-hour H:m:s or H:m ("9:05:00", "23:59"); the 12-hour
// forms with AM/PM (any case, dots allowed) or 上午/下午 before or after the
// time ("9:05:00 AM", "1:30 pm", "下午 1:30:00"); the long or short time
// format of `system` (the PC's locale unless given), without its time zone.
// An invalid QTime for anything else.
QTime ParseProfileTime(const QString &text, const QLocale &system = QLocale::system());

// The file name to use for a chosen name: ".ini" is appended unless the name
// already contains ".ini" anywhere (case-sensitive), so "my.ini.bak" stays
// and "PROFILE.INI" becomes "PROFILE.INI.ini".
QString ProfileFileName(const QString &chosenName);

// Default name offered when saving: model name ("K801", "K802", "K803" for
// model index 0, 1, 2; "K80x" while no model is known), "_", the date and time
// as YYMMDDHHmmss, ".ini". Example: K801_170605090500.ini.
QString DefaultProfileName(int modelIndex, const QDateTime &when);

// The stored value of a list-view row with `columnCount` columns: sub-items 0
// to columnCount-2, each with blanks trimmed, "~" for an empty one, each
// followed by "^". Missing sub-items count as empty, spare ones are ignored.
QString JoinListValue(const QStringList &subItems, int columnCount);

// What loading `value` does to the sub-items 0 to columnCount-2 of a row:
// trailing "^" are dropped, the rest is split at each "^"; a field sets its
// sub-item ("~" sets the empty text), a sub-item without a field is left
// alone (std::nullopt). An empty value (or one of "^" only) changes nothing.
std::vector<std::optional<QString>> SplitListValue(const QString &value, int columnCount);

// The value of the first entry whose key, blanks trimmed, equals the row
// caption, blanks trimmed (case-sensitive); std::nullopt when none does.
std::optional<QString> FindRowValue(const std::vector<TIniEntry> &entries, const QString &rowCaption);

// Which entry of a list view's section each row loads. captions[l][r] is the
// caption of row r in language l, the language shown first. A row takes the
// first entry whose key (blanks trimmed) is its caption in the language
// shown, else in another language. A row still without one takes the entry
// at its own position in the section (the file stores the rows in order),
// unless that entry is taken or its key is a caption of any row in any
// language or one of `reservedKeys` (captions the view has for other
// models), so rows renamed since the file was saved still load and an entry
// is never given to a row it does not belong to. Returns one entry index per
// row, -1 for a row no entry matches.
std::vector<int> MatchRowEntries(const std::vector<TIniEntry> &entries,
                                 const QList<QStringList> &captions,
                                 const QStringList &reservedKeys = {});
