#include "history/HistoryGridModel_Unt.h"

#include <QSize>

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
    const int fieldCount = count - 1;
    for (QStringList &cells : m_rows) {
        if (cells.size() > fieldCount) {
            cells.resize(fieldCount);
            TrimTrailingEmpty(cells);
        }
    }
    if (count == 1)
        m_rows.clear();
    endRemoveColumns();
}

QString THistoryGridModel::NumberText(int row) const
{
    const auto found = m_numberTexts.constFind(row);
    if (found != m_numberTexts.constEnd())
        return found.value();
    return m_numbered ? QString::number(row) : QString();
}

QString THistoryGridModel::Cell(int column, int row) const
{
    if (column < 0 || column >= m_colCount || row < 0 || row >= GridRowCount)
        return {};
    if (row == 0)
        return m_headers.at(column);
    if (column == 0)
        return NumberText(row);
    const std::size_t rowIndex = std::size_t(row - 1);
    if (rowIndex >= m_rows.size())
        return {};
    const QStringList &cells = m_rows[rowIndex];
    return column - 1 < cells.size() ? cells.at(column - 1) : QString();
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
    if (row < 1 || row >= GridRowCount || firstColumn < 1 || firstColumn >= m_colCount)
        return;
    const int count = qMin<int>(texts.size(), m_colCount - firstColumn);
    if (count <= 0)
        return;
    const std::size_t rowIndex = std::size_t(row - 1);
    if (rowIndex >= m_rows.size())
        m_rows.resize(rowIndex + 1);
    QStringList &cells = m_rows[rowIndex];
    const int firstField = firstColumn - 1;
    if (cells.size() < firstField + count)
        cells.resize(firstField + count);
    for (int offset = 0; offset < count; ++offset)
        cells[firstField + offset] = texts.at(offset);
    TrimTrailingEmpty(cells);
    emit dataChanged(index(row - 1, firstColumn), index(row - 1, firstColumn + count - 1));
}

QStringList THistoryGridModel::RowFields(int row) const
{
    if (row < 1 || row >= GridRowCount || std::size_t(row - 1) >= m_rows.size())
        return {};
    return m_rows[std::size_t(row - 1)];
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

void THistoryGridModel::ReplaceRecordCells(std::vector<QStringList> rows)
{
    if (rows.size() > std::size_t(RecordRowCount))
        rows.resize(std::size_t(RecordRowCount));
    const int fieldCount = m_colCount - 1;
    for (QStringList &cells : rows) {
        if (cells.size() > fieldCount)
            cells.resize(fieldCount);
        TrimTrailingEmpty(cells);
    }
    m_rows = std::move(rows);
    EmitAllRecordsChanged();
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
    if (role == Qt::SizeHintRole) {
        const int width = ColumnWidth(section);
        if (width < 0 && m_headerRowHeight < 0)
            return {};
        return QSize(width, m_headerRowHeight);
    }
    return {};
}

void THistoryGridModel::TrimTrailingEmpty(QStringList &cells)
{
    qsizetype size = cells.size();
    while (size > 0 && cells.at(size - 1).isEmpty())
        --size;
    if (size != cells.size())
        cells.resize(size);
}

void THistoryGridModel::EmitAllRecordsChanged()
{
    emit dataChanged(index(0, 0), index(RecordRowCount - 1, m_colCount - 1));
}
