#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>
#include <QVarLengthArray>

#include <vector>

// The cells of one record row, columns 1 onwards, kept as one text with the
// end of each cell: a row costs one allocation however many cells it holds.
class THistoryGridRow
{
public:
    int size() const { return int(m_ends.size()); }
    bool isEmpty() const { return m_ends.isEmpty(); }
    // The text of cell index (column index + 1); valid while the row is unchanged.
    QStringView at(int index) const;
    void append(QStringView cell);
    // Keeps the first count cells.
    void truncate(int count);
    // Drops empty cells at the end.
    void trimTrailingEmpty();
    // True when a cell holds one of the two characters.
    bool contains(QChar first, QChar second) const;

    QStringList toList() const;
    static THistoryGridRow fromList(const QStringList &cells);

private:
    QString m_text;
    QVarLengthArray<qsizetype, 24> m_ends;
};

// The history grid SgHist as a table model. In grid coordinates (Cell,
// SetCell, ...) row 0 holds the column headers, rows 1 to 20000 the records,
// and column 0 the record numbers; this is how the decoder, the CSV files and
// the filter address it. As a Qt model, row 0 is the horizontal header and
// model row k is grid row k + 1, so a QTableView shows it without help.
//
// Only filled cells are stored: a record row holds the texts of columns 1
// onwards without trailing empty cells, and column 0 is the row number unless
// a different text was written there.
class THistoryGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int GridRowCount = 20001;   // header row + 20000 record rows
    static constexpr int RecordRowCount = GridRowCount - 1;
    static constexpr int InitialColumnCount = 320;

    explicit THistoryGridModel(QObject *parent = nullptr);

    // Grid size, header row and number column included.
    int RowCount() const { return GridRowCount; }
    int ColCount() const { return m_colCount; }
    // Changes the column count (at least 1); cells beyond the new last column
    // are dropped.
    void SetColCount(int count);

    // The text at (column, row) in grid coordinates; empty outside the grid.
    QString Cell(int column, int row) const;
    // The same for record rows and columns 1 onwards, without a copy; valid
    // until the grid changes.
    QStringView CellView(int column, int row) const;
    // Writes one cell; ignored outside the grid.
    void SetCell(int column, int row, const QString &text);
    // Writes texts into a record row (1..20000) from firstColumn (at least 1)
    // on; texts beyond the last column are dropped, other cells keep theirs.
    void SetCells(int row, int firstColumn, const QStringList &texts);
    void SetCells(int row, int firstColumn, THistoryGridRow texts);
    // Writes number into column 0 of a record row.
    void SetRowNumber(int row, int number);
    // Columns 1 to the last of a record row, without trailing empty cells.
    QStringList RowFields(int row) const;
    // How many of those there are.
    int FieldCount(int row) const;
    // The highest record row with a non-empty cell in columns 1 onwards, 0 if none.
    int LastFilledRow() const;

    // Writes the numbers 1 to 20000 into column 0 of the record rows.
    void FillRowNumbers();
    // The Clear button: empties columns 1 to the last of every record row and
    // writes "1" into column 0 of row 1; the rest of column 0 and the header
    // row stay as they are.
    void ClearDisplay();
    // Replaces columns 1 to the last of every record row: rows[k] goes to
    // grid row k + 1, its cell j to column j + 1. Rows beyond the grid and
    // cells beyond the last column are dropped; rows not given end up empty.
    // Column 0 and the header row are not touched.
    void ReplaceRecordRows(std::vector<THistoryGridRow> rows);
    // Replaces, in columns firstColumn to lastColumn of every record row,
    // each cell whose whole text is a key of replacements by its value
    // (the state texts of the rows after a language switch).
    void ReplaceTexts(int firstColumn, int lastColumn, const QHash<QString, QString> &replacements);
    // Clears the display as ClearDisplay does, then puts the given record
    // rows (grid row numbers, in the order given) back from row 1 on.
    void KeepRecordRows(const std::vector<int> &rows);

    // Sizes in pixels the view is to give the header row and the columns;
    // -1 leaves the view's default. The view applies them itself.
    void SetColumnWidth(int column, int width);
    int ColumnWidth(int column) const;
    void SetHeaderRowHeight(int height) { m_headerRowHeight = height; }
    int HeaderRowHeight() const { return m_headerRowHeight; }

    // QAbstractTableModel: 20000 rows (the record rows) and ColCount() columns.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QString NumberText(int row) const;
    const THistoryGridRow *RecordRow(int row) const;
    void EmitAllRecordsChanged();

    int m_colCount = InitialColumnCount;
    QStringList m_headers;                     // row 0, ColCount() entries
    std::vector<THistoryGridRow> m_rows;       // record row r at index r - 1
    QHash<int, QString> m_numberTexts;         // column 0 texts that differ from the default
    bool m_numbered = false;                   // column 0 shows the row numbers by default
    QHash<int, int> m_columnWidths;
    int m_headerRowHeight = -1;
};
