#pragma once

#include "history/HistoryGridModel_Unt.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// History CSV files: GBK text, CR LF after every line, no header line (the
// ISO form below has one). Line k
// holds columns 1 to the last of grid row k + 1 joined by ","; the record
// number (column 0) is not written. A field is quoted only when it holds a
// comma or a double quote, which no decoded record text does.
class THistoryCsv
{
public:
    // OpenFailed and ReadFailed come from an import, WriteFailed from an
    // export (the file could not be created, written or put in place).
    // An import also refuses a file larger than MaxFileSize or with a line
    // longer than MaxLineLength (TooLarge), one holding control bytes that no
    // text has, such as 0x00 (NotText), and one none of whose lines starts
    // with a date and a time field as the date filter reads them, six numbers
    // (NoRecords).
    enum class TError { None, OpenFailed, ReadFailed, WriteFailed, TooLarge, NotText, NoRecords };

    // A full grid exported is under 3 MB with lines under 200 bytes.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
    static constexpr qint64 MaxLineLength = 64 * 1024;

    // The outcome of an export or import. On failure the grid (import) or
    // the file already on disk (export) is as it was.
    struct TResult
    {
        TError error = TError::None;
        QString fileName;      // the file written or read
        QString systemText;    // the system's reason for a failure, for the message
        int lines = 0;         // lines written, or lines placed into the grid

        bool ok() const { return error == TError::None; }
        explicit operator bool() const { return ok(); }
        // Language-table key of the message to show for a failure
        // ("MsgCsvExportFailed" / "MsgCsvImportFailed"), empty on success.
        QString TextKey() const;
    };

    // Model name for a model index: 1 gives "K802", 2 "K803", anything else "K801".
    static QString ModelName(int modelIndex);
    // The name the export offers: model name, "_", YYMMDDHHmmss of now,
    // e.g. "K801_170605090500" (no extension).
    static QString DefaultFileName(int modelIndex, const QDateTime &now);
    // Appends ".csv" unless the name already ends in it (any case).
    static QString WithCsvExtension(const QString &fileName);

    // Splits one line at the commas. A field that begins with a double quote
    // runs to its closing quote and is taken without the quotes ("" inside
    // stands for one "); text between the closing quote and the next comma is
    // kept. A line ending in a comma has an empty last field.
    static QStringList SplitLine(QStringView line);
    // Joins fields for a line, quoting those that SplitLine would otherwise cut.
    static QString JoinLine(const QStringList &fields);

    // Writes every record row of the grid (20000 lines) to fileName with the
    // ".csv" rule applied, through a temporary file that replaces the old
    // file only when everything was written.
    [[nodiscard]] static TResult Export(const THistoryGridModel &grid, const QString &fileName);
    // The form for other programs (the command-line tool's --iso): a header
    // line of the grid's captions, then the filled record rows only, their
    // date and time made one field in ISO 8601 with the PC's UTC offset on
    // that day ("2025-01-31T14:25:00+08:00"; timeCaption heads it). Same
    // text, quoting and file rules as Export; a date or time that is no
    // valid moment is kept as the device gave it ("25/13/40 9:0:0").
    [[nodiscard]] static TResult ExportIso(const THistoryGridModel &grid, const QString &fileName,
                                           const QString &timeCaption);
    // Date "y/m/d" (year within the century) and time "h:m:s" as the grid
    // shows them, as ISO 8601 local time with its UTC offset; empty when
    // they are no valid moment.
    static QString IsoTime(const QString &date, const QString &time);
    // Reads fileName (GBK; CR LF, LF or CR line ends) and, only when it was
    // read, replaces columns 1 to the last of the record rows with its lines:
    // line k to row k + 1, field j to column j + 1; extra fields and lines
    // beyond the grid are ignored. Column 0 keeps its numbers.
    [[nodiscard]] static TResult Import(THistoryGridModel &grid, const QString &fileName);
    // The same for the bytes of a file (the refusals included); fileName of
    // the result stays empty.
    [[nodiscard]] static TResult ImportBytes(THistoryGridModel &grid, const QByteArray &bytes);
};

// Writes history CSV lines as the rows come, for more rows than a grid holds
// (a whole archived log): each row's line is the one Export writes for a
// grid row with these cells, and a file of fewer rows than the grid's is
// filled with the empty rows' lines, so that it is the very file the grid's
// export gives. The text goes out in blocks through a temporary file that
// replaces the old one only when everything was written.
class THistoryCsvWriter
{
public:
    // fieldCount: the grid's columns after the number column.
    THistoryCsvWriter(const QString &fileName, int fieldCount);
    ~THistoryCsvWriter();
    THistoryCsvWriter(const THistoryCsvWriter &) = delete;
    THistoryCsvWriter &operator=(const THistoryCsvWriter &) = delete;

    // False when the file cannot be made; Finish() then says why.
    bool Open();
    // cells: columns 1 onwards, as HistoryRecord::GridRow gives them.
    void AddRow(const THistoryGridRow &cells);
    THistoryCsv::TResult Finish();

private:
    bool WriteOut();

    THistoryCsv::TResult m_result;
    int m_fieldCount;
    QString m_emptyLine;
    QString m_text;
    class QSaveFile *m_file = nullptr;
};
