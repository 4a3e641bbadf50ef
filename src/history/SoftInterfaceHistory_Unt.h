#pragma once

#include "history/HistoryGridModel_Unt.h"
#include "link/HistoryProtocol_Unt.h"

#include <QByteArrayView>
#include <QStringList>

#include <array>
#include <functional>

// The texts the decoder writes into the status, relay and type columns. They
// follow the language switch, which hands them over with
// TSoftHistory::SetTexts(THistoryTexts::ForLanguage(language)).
struct THistoryTexts
{
    QString armed;                          // key TxtArmed
    QString disarmed;                       // key TxtDisarmed
    QString relayClosed;                    // key TxtRelayClosed
    QString relayOpen;                      // key TxtRelayOpen
    std::array<QString, 7> recordTypes;     // keys TxtRecType0 .. TxtRecType6

    // The texts of the language tables for language 0 (Chinese) or 1 (English).
    static THistoryTexts ForLanguage(int language);
    // Asks lookup for the text of each key above.
    static THistoryTexts FromLookup(const std::function<QString(const QString &key)> &lookup);
};

// One 64-byte history record as the device stores it (multi-byte values
// little-endian): bytes 0..3 unused (all 0xFF when erased), 4..9 year within
// the century, month, day, hour, minute, second, 10 GSM signal, 11 flags
// (bit 7 armed, bit 0 DO1 closed, bit 1 DO2 closed), 12..43 sixteen signed
// values in tenths (slot 2k temperature k+1, slot 2k+1 humidity k+1), 44 the
// record type in bits 0..2.
namespace HistoryRecord {

constexpr int Size = 64;
constexpr int PerPage = 4;
constexpr int SlotCount = 16;

// True for erased memory: year byte 0xFF or the first four bytes all 0xFF.
// A record shorter than 64 bytes counts as empty.
bool IsEmpty(QByteArrayView record);

// The value of a slot as the grid shows it: tenths formatted with one
// decimal ("-0.1", "26.6", "0.0").
QString FormatValue(qint16 tenths);

// Value columns of a model index (0 K801, 1 K802, 2 K803): 8, 16 or 8;
// 0 for any other index (no model known yet).
int ValueColumnCount(int modelIndex);
// The record slot shown in value column valueIndex (counted from 0): every
// slot in order for K801 and K802, only the temperatures (even slots) for K803.
int ValueSlot(int modelIndex, int valueIndex);

// The texts of grid columns 1 onwards for a non-empty record: date "y/m/d",
// time "h:m:s" (decimal, no leading zeros), signal, status, DO1, DO2, type,
// then the value columns of the model (none for an unknown model).
QStringList RowCells(QByteArrayView record, int modelIndex, const THistoryTexts &texts);
// The same cells as one grid row.
THistoryGridRow GridRow(QByteArrayView record, int modelIndex, const THistoryTexts &texts);

} // namespace HistoryRecord

// Reading and decoding the device's history log into the grid. Holds the
// reading state of a multi-record read (record counter, empty-record count);
// the window runs the page loop and calls ShowPage with each reply.
class TSoftHistory
{
public:
    static constexpr int MaxQuantity = THistoryGridModel::RecordRowCount;

    // What ShowPage did with one page reply.
    struct TPageResult
    {
        bool frameValid = false;   // false: nothing decoded, the page must be asked for again
        int recordsTaken = 0;      // record slots counted, empty ones included
        int rowsFilled = 0;        // records written into the grid
        bool stopRead = false;     // the second empty record of this read: end the read
    };

    enum class TRecordResult { Shown, Empty, InvalidFrame };

    // The progress of a log erase as the device reports it in one chunk.
    struct TEraseProgress
    {
        int position = 0;          // the gauge position, 0 while there are no digits
        bool finished = false;     // the number reached 100: the erase is done
    };

    void SetTexts(const THistoryTexts &texts) { m_texts = texts; }
    const THistoryTexts &Texts() const { return m_texts; }

    // The quantity edit: text that is not a number counts as 1.
    static int QuantityFromText(const QString &text);
    // Quantities 1 to 20000 can be read; anything else is an input error.
    static bool QuantityValid(int quantity) { return quantity >= 1 && quantity <= MaxQuantity; }
    // Pages of four records to request for a quantity: a remainder counts as
    // one more page.
    static int PageCount(int quantity);
    // The line edit of the single-record read: text that is not a number counts as 1.
    static int LineFromText(const QString &text);

    // Digits of one chunk received while the device erases its log: the
    // characters '0'..'9' joined into a decimal number, a new number for each
    // chunk; the erase is finished when the number, taken byte by byte,
    // equals 100.
    static TEraseProgress EraseProgressFromChunk(QByteArrayView chunk);

    // First-time set-up of the grid: the Chinese headers of columns 0 to 15
    // (column 3 reads "信号" until the first language switch), header row
    // height, column widths and the record numbers in column 0.
    void InitGrid(THistoryGridModel &grid) const;
    // Column count and value-column headers for a model index in language 0
    // (Chinese) or 1 (English); an unknown model or language changes nothing.
    void SetValueColumns(THistoryGridModel &grid, int modelIndex, int language) const;

    // Starts a multi-record read: clears the grid display and zeroes the
    // record counter and the empty-record count, so that a read never mixes
    // with rows or counts of an earlier one.
    void BeginRead(THistoryGridModel &grid);
    // The same for a read that starts at record firstNumber of the log (the
    // first record of a page): row 1 shows that record, column 0 the
    // records' own numbers.
    void BeginReadAt(THistoryGridModel &grid, int firstNumber);
    // The log's number of the record in grid row r is r + NumberOffset().
    int NumberOffset() const { return m_numberOffset; }
    int RecordCounter() const { return m_recordCounter; }
    int EmptyRecordCount() const { return m_emptyRecordCount; }

    // Decodes the records of one page reply (a whole frame; its payload holds
    // up to four records) into the rows after the record counter, until the
    // counter reaches quantity or an empty record ends the page. A reply that
    // is not a valid frame decodes nothing; a payload shorter than a page
    // decodes the whole records it holds.
    TPageResult ShowPage(THistoryGridModel &grid, const QByteArray &frame, int quantity,
                         int modelIndex);
    // Decodes one record reply into row 1, with line in column 0. An empty
    // record, a short payload or an invalid frame changes nothing.
    TRecordResult ShowRecord(THistoryGridModel &grid, const QByteArray &frame, int line,
                             int modelIndex) const;

private:
    void FillRow(THistoryGridModel &grid, int row, int number, QByteArrayView record,
                 int modelIndex) const;

    THistoryProtocol m_protocol;
    THistoryTexts m_texts;
    int m_recordCounter = 0;
    int m_numberOffset = 0;
    int m_emptyRecordCount = 0;
};
