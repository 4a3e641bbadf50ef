#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringList>

// Text, number and file-name routines that every folder uses. They touch
// no device, window or operating-system setting and show nothing.

// Sorts port names as text, ignoring letter case (COM10 before COM2).
void SortPortNames(QStringList &names);

// The program version as shown in the titles: "V2.39".
QString ProgramVersionText();

// Key filter of the password field: Backspace (8), Enter (13), '0'-'9',
// 'A'-'Z', 'a'-'z' and DEL (127) pass unchanged; any other key becomes 0,
// which means dropped.
void PasswordKeyFilter(QChar &key);

// Device texts are code page 936 (GBK); a byte 0xFF is erased memory.

// Bytes 0 to lastIndex as GBK text, leaving out every 0xFF byte. Empty when
// there are no bytes or the first byte is 0; a 0 byte after the first stays
// in the text as a character. A lastIndex beyond the end reads to the end.
QString BytesToText(const QByteArray &bytes, int lastIndex);
// The same for the first count bytes.
QString BytesToTextCount(const QByteArray &bytes, int count);

// The first count bytes as two upper-case hexadecimal digits each, without
// separators, leaving out every 0xFF byte ("01 FF 0A" gives "010A").
QString BytesToHexText(const QByteArray &bytes, int count);

// Fills field bytes 0 to lastIndex with 0 (growing field when it is shorter)
// and, unless text is blank, stores text as GBK from byte 0, unchanged
// (leading blanks included), as many whole characters as fit: a double-byte
// character that would not fit whole is left out with all that follows.
// Returns false when a character has no GBK code; it is stored as '?'.
bool TextToBytes(const QString &text, QByteArray &field, int lastIndex);
// The same into a new field of fieldSize bytes.
QByteArray TextToBytes(const QString &text, int fieldSize);

// Fills field bytes 0 to lastIndex with 0 (growing field when it is shorter),
// removes the blanks from text and reads it as pairs of hexadecimal digits
// from the start: pair i goes to field byte i for the pairs that fit; a lone
// last digit is ignored ("1A 2B 3" into 2 bytes gives 1A 2B). Returns false,
// leaving the field bytes 0, when a pair that fits is not hexadecimal.
[[nodiscard]] bool HexTextToBytes(const QString &text, QByteArray &field, int lastIndex);

// text without its blanks (' ').
QString RemoveSpaces(const QString &text);
// The value of one hexadecimal digit (either case), or -1 for any other character.
int HexDigitValue(QChar digit);

// How a text reads as a number (ParseDecimal, ParseTenths).
enum class TNumberKind {
    Empty,      // nothing but blanks
    NotNumber,  // anything else that is not a number of the form asked for
    Number,     // Value holds it
    OutOfRange  // a number of the right form, beyond what qint64 holds
};

struct TNumber
{
    TNumberKind Kind = TNumberKind::Empty;
    qint64 Value = 0;
    bool Ok() const { return Kind == TNumberKind::Number; }
};

// The one reading of a decimal integer, typed by the user or stored in a
// file: blanks around it are ignored, then one optional '+' or '-' and the
// ASCII digits 0-9 (no group separators, no other base, no other digits).
TNumber ParseDecimal(const QString &text);
// A decimal number with an optional fraction, in tenths: "25" 250, "25.5"
// 255, "-0.5" -5, ".5" 5; a second fraction digit of 5 or more rounds the
// tenths away from zero ("25.55" 256), further digits do not count. Blanks,
// sign, Empty and OutOfRange as ParseDecimal.
TNumber ParseTenths(const QString &text);

// width characters '1' or '0' for bits width-1 down to 0 of value, most
// significant first (5 with width 8 gives "00000101"); bits above 31 are '0'.
QString BitsToText(quint32 value, int width);

// Full paths of the files under directory and all its subdirectories whose
// extension (from the last '.', e.g. ".asz") equals extension ignoring
// letter case, or of every file when extension is ".*"; sorted ignoring
// letter case, without duplicates. A directory reached twice through a link
// is searched once. A missing or empty directory name gives an empty list.
QStringList FindFiles(const QString &directory, const QString &extension);
