#include "history/HistoryGridModel_Unt.h"

QStringView THistoryGridRow::at(int index) const
{
    const qsizetype begin = index == 0 ? 0 : m_ends[index - 1];
    return QStringView(m_text).mid(begin, m_ends[index] - begin);
}

void THistoryGridRow::append(QStringView cell)
{
    m_text += cell;
    m_ends.append(m_text.size());
}

void THistoryGridRow::truncate(int count)
{
    if (count >= size())
        return;
    m_ends.resize(qMax(0, count));
    m_text.truncate(m_ends.isEmpty() ? 0 : m_ends.last());
}

void THistoryGridRow::trimTrailingEmpty()
{
    int count = size();
    while (count > 0 && at(count - 1).isEmpty())
        --count;
    truncate(count);
    if (m_ends.isEmpty())
        m_text = QString();
}

bool THistoryGridRow::contains(QChar first, QChar second) const
{
    return m_text.contains(first) || m_text.contains(second);
}

QStringList THistoryGridRow::toList() const
{
    QStringList cells;
    cells.reserve(size());
    for (int index = 0; index < size(); ++index)
        cells << at(index).toString();
    return cells;
}

THistoryGridRow THistoryGridRow::fromList(const QStringList &cells)
{
    THistoryGridRow row;
    for (const QString &cell : cells)
        row.append(cell);
    return row;
}

THistoryGridModel::THistoryGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_headers.resize(m_colCount);
}

void THistoryGridModel::SetColCount(int count)
{
    count = qMax(1, count);
    if (count == m_colCount)
        return;
    if (count > m_colCount) {
        beginInsertColumns(QModelIndex(), m_colCount, count - 1);
        m_colCount = count;
        m_headers.resize(count);
        endInsertColumns();
        return;
    }
    beginRemoveColumns(QModelIndex(), count, m_colCount - 1);
    m_colCount = count;
    m_headers.resize(count);
    for (THistoryGridRow &cells : m_rows) {
        cells.truncate(count - 1);
        cells.trimTrailingEmpty();
    }
    endRemoveColumns();
}

QString THistoryGridModel::NumberText(int row) const
{
    const auto found = m_numberTexts.constFind(row);
    if (found != m_numberTexts.constEnd())
        return found.value();
    return m_numbered ? QString::number(row) : QString();
}

const THistoryGridRow *THistoryGridModel::RecordRow(int row) const
{
    if (row < 1 || row >= GridRowCount || std::size_t(row - 1) >= m_rows.size())
        return nullptr;
    return &m_rows[std::size_t(row - 1)];
}

QString THistoryGridModel::Cell(int column, int row) const
{
    if (column < 0 || column >= m_colCount || row < 0 || row >= GridRowCount)
        return {};
    if (row == 0)
        return m_headers.at(column);
    if (column == 0)
        return NumberText(row);
    return CellView(column, row).toString();
}

QStringView THistoryGridModel::CellView(int column, int row) const
{
    const THistoryGridRow *cells = RecordRow(row);
    if (!cells || column < 1 || column > cells->size())
        return {};
    return cells->at(column - 1);
}

void THistoryGridModel::SetCell(int column, int row, const QString &text)
{
    if (column < 0 || column >= m_colCount || row < 0 || row >= GridRowCount)
        return;
    if (row == 0) {
        m_headers[column] = text;
        emit headerDataChanged(Qt::Horizontal, column, column);
        return;
    }
    if (column == 0) {
        if (m_numbered && text == QString::number(row))
            m_numberTexts.remove(row);
        else
            m_numberTexts.insert(row, text);
        const QModelIndex cell = index(row - 1, 0);
        emit dataChanged(cell, cell);
        return;
    }
    SetCells(row, column, QStringList{text});
}

void THistoryGridModel::SetCells(int row, int firstColumn, const QStringList &texts)
{
    SetCells(row, firstColumn, THistoryGridRow::fromList(texts));
}

void THistoryGridModel::SetCells(int row, int firstColumn, THistoryGridRow texts)
{
    if (row < 1 || row >= GridRowCount || firstColumn < 1 || firstColumn >= m_colCount)
        return;
    const int count = qMin<int>(texts.size(), m_colCount - firstColumn);
    if (count <= 0)
        return;
    texts.truncate(count);
    const std::size_t rowIndex = std::size_t(row - 1);
    if (rowIndex >= m_rows.size()) {
        // One allocation for all rows, so that a read filling the grid row
        // by row never moves the rows already filled.
        m_rows.reserve(std::size_t(RecordRowCount));
        m_rows.resize(rowIndex + 1);
    }
    THistoryGridRow &cells = m_rows[rowIndex];
    if (cells.isEmpty() && firstColumn == 1) {
        // The decoder's case: a cleared row filled from column 1 on.
        cells = std::move(texts);
    } else {
        const int firstField = firstColumn - 1;
        QStringList fields = cells.toList();
        if (fields.size() < firstField + count)
            fields.resize(firstField + count);
        for (int offset = 0; offset < count; ++offset)
            fields[firstField + offset] = texts.at(offset).toString();
        cells = THistoryGridRow::fromList(fields);
    }
    cells.trimTrailingEmpty();
    emit dataChanged(index(row - 1, firstColumn), index(row - 1, firstColumn + count - 1));
}

void THistoryGridModel::SetRowNumber(int row, int number)
{
    if (m_numbered && number == row) {
        if (m_numberTexts.remove(row) == 0)
            return;
        const QModelIndex cell = index(row - 1, 0);
        emit dataChanged(cell, cell);
        return;
    }
    SetCell(0, row, QString::number(number));
}

QStringList THistoryGridModel::RowFields(int row) const
{
    const THistoryGridRow *cells = RecordRow(row);
    return cells ? cells->toList() : QStringList();
}

int THistoryGridModel::FieldCount(int row) const
{
    const THistoryGridRow *cells = RecordRow(row);
    return cells ? cells->size() : 0;
}

int THistoryGridModel::LastFilledRow() const
{
    for (std::size_t rowIndex = m_rows.size(); rowIndex > 0; --rowIndex) {
        if (!m_rows[rowIndex - 1].isEmpty())
            return int(rowIndex);
    }
    return 0;
}

void THistoryGridModel::FillRowNumbers()
{
    m_numbered = true;
    m_numberTexts.clear();
    emit dataChanged(index(0, 0), index(RecordRowCount - 1, 0));
}

void THistoryGridModel::ClearDisplay()
{
    m_rows.clear();
    SetCell(0, 1, QStringLiteral("1"));
    EmitAllRecordsChanged();
}

void THistoryGridModel::ReplaceRecordRows(std::vector<THistoryGridRow> rows)
{
    if (rows.size() > std::size_t(RecordRowCount))
        rows.resize(std::size_t(RecordRowCount));
    for (THistoryGridRow &cells : rows) {
        cells.truncate(m_colCount - 1);
        cells.trimTrailingEmpty();
    }
    m_rows = std::move(rows);
    EmitAllRecordsChanged();
}

void THistoryGridModel::ReplaceTexts(int firstColumn, int lastColumn,
                                      const QHash<QString, QString> &replacements)
{
    firstColumn = qMax(firstColumn, 1);
    lastColumn = qMin(lastColumn, m_colCount - 1);
    if (firstColumn > lastColumn || replacements.isEmpty())
        return;
    bool changed = false;
    for (THistoryGridRow &cells : m_rows) {
        if (cells.size() < firstColumn)
            continue;
        QStringList texts;
        for (int column = firstColumn; column <= lastColumn && column <= cells.size(); ++column) {
            const auto found = replacements.constFind(cells.at(column - 1).toString());
            if (found == replacements.cend())
                continue;
            if (texts.isEmpty())
                texts = cells.toList();
            texts[column - 1] = found.value();
        }
        if (!texts.isEmpty()) {
            cells = THistoryGridRow::fromList(texts);
            changed = true;
        }
    }
    if (changed)
        emit dataChanged(index(0, firstColumn), index(RecordRowCount - 1, lastColumn));
}

void THistoryGridModel::KeepRecordRows(const std::vector<int> &rows)
{
    std::vector<THistoryGridRow> kept;
    kept.reserve(rows.size());
    for (int row : rows) {
        const THistoryGridRow *cells = RecordRow(row);
        kept.push_back(cells ? *cells : THistoryGridRow());
    }
    ClearDisplay();
    ReplaceRecordRows(std::move(kept));
}

void THistoryGridModel::SetColumnWidth(int column, int width)
{
    if (width < 0)
        m_columnWidths.remove(column);
    else
        m_columnWidths.insert(column, width);
    emit headerDataChanged(Qt::Horizontal, column, column);
}

int THistoryGridModel::ColumnWidth(int column) const
{
    return m_columnWidths.value(column, -1);
}

int THistoryGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RecordRowCount;
}

int THistoryGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_colCount;
}

QVariant THistoryGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return Cell(index.column(), index.row() + 1);
}

QVariant THistoryGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_colCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_headers.at(section);
    return {};
}

void THistoryGridModel::EmitAllRecordsChanged()
{
    emit dataChanged(index(0, 0), index(RecordRowCount - 1, m_colCount - 1));
}
