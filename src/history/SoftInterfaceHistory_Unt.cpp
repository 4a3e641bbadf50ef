#include "history/SoftInterfaceHistory_Unt.h"

#include "base/Funs_Unt.h"
#include "lang/ConstLang_Unt.h"

#include <QtEndian>

#include <limits>

THistoryTexts THistoryTexts::ForLanguage(int language)
{
    return FromLookup([language](const QString &key) { return ConstLang::Text(key, language); });
}

THistoryTexts THistoryTexts::FromLookup(const std::function<QString(const QString &key)> &lookup)
{
    THistoryTexts texts;
    texts.armed = lookup(QStringLiteral("TxtArmed"));
    texts.disarmed = lookup(QStringLiteral("TxtDisarmed"));
    texts.relayClosed = lookup(QStringLiteral("TxtRelayClosed"));
    texts.relayOpen = lookup(QStringLiteral("TxtRelayOpen"));
    for (std::size_t code = 0; code < texts.recordTypes.size(); ++code)
        texts.recordTypes[code] = lookup(QStringLiteral("TxtRecType%1").arg(code));
    return texts;
}

namespace HistoryRecord {

namespace {

constexpr int YearOffset = 4;
constexpr int SignalOffset = 10;
constexpr int FlagsOffset = 11;
constexpr int ValuesOffset = 12;
constexpr int TypeOffset = 44;

constexpr quint8 FlagArmed = 0x80;
constexpr quint8 FlagDo1Closed = 0x01;
constexpr quint8 FlagDo2Closed = 0x02;

quint8 ByteAt(QByteArrayView record, int offset)
{
    return quint8(record.at(offset));
}

// A short text built in place: the decoder writes tens of thousands of
// numbers and needs no allocation for each.
class TNumberText
{
public:
    void AppendNumber(int value)
    {
        char16_t digits[12];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + value % 10);
            value /= 10;
        } while (value > 0);
        while (count > 0)
            m_chars[m_size++] = digits[--count];
    }
    void AppendChar(char16_t character) { m_chars[m_size++] = character; }
    // Tenths with one decimal; integer arithmetic keeps it exact.
    void AppendValue(qint16 tenths)
    {
        const int magnitude = qAbs(int(tenths));
        if (tenths < 0)
            AppendChar(u'-');
        AppendNumber(magnitude / 10);
        AppendChar(u'.');
        AppendChar(char16_t(u'0' + magnitude % 10));
    }
    QStringView View() const { return QStringView(m_chars, m_size); }
    void Clear() { m_size = 0; }

private:
    char16_t m_chars[32];
    qsizetype m_size = 0;
};

// Hands the texts of columns 1 onwards to take, in order.
template<typename Take>
void DecodeCells(QByteArrayView record, int modelIndex, const THistoryTexts &texts, Take take)
{
    TNumberText text;
    for (int part = 0; part < 3; ++part) {
        if (part > 0)
            text.AppendChar(u'/');
        text.AppendNumber(ByteAt(record, YearOffset + part));
    }
    take(text.View());
    text.Clear();
    for (int part = 0; part < 3; ++part) {
        if (part > 0)
            text.AppendChar(u':');
        text.AppendNumber(ByteAt(record, YearOffset + 3 + part));
    }
    take(text.View());
    text.Clear();
    text.AppendNumber(ByteAt(record, SignalOffset));
    take(text.View());

    const quint8 flags = ByteAt(record, FlagsOffset);
    take(QStringView((flags & FlagArmed) ? texts.armed : texts.disarmed));
    take(QStringView((flags & FlagDo1Closed) ? texts.relayClosed : texts.relayOpen));
    take(QStringView((flags & FlagDo2Closed) ? texts.relayClosed : texts.relayOpen));

    // Code 7 has no text of its own and shows the interval text of code 0.
    const int typeCode = ByteAt(record, TypeOffset) & 0x07;
    take(QStringView(texts.recordTypes[std::size_t(typeCode == 7 ? 0 : typeCode)]));

    const int valueCount = ValueColumnCount(modelIndex);
    for (int valueIndex = 0; valueIndex < valueCount; ++valueIndex) {
        const int offset = ValuesOffset + 2 * ValueSlot(modelIndex, valueIndex);
        text.Clear();
        text.AppendValue(qFromLittleEndian<qint16>(record.data() + offset));
        take(text.View());
    }
}

} // namespace

bool IsEmpty(QByteArrayView record)
{
    if (record.size() < Size)
        return true;
    if (ByteAt(record, YearOffset) == 0xFF)
        return true;
    for (int offset = 0; offset < 4; ++offset) {
        if (ByteAt(record, offset) != 0xFF)
            return false;
    }
    return true;
}

QString FormatValue(qint16 tenths)
{
    TNumberText text;
    text.AppendValue(tenths);
    return text.View().toString();
}

int ValueColumnCount(int modelIndex)
{
    switch (modelIndex) {
    case 0: return 8;
    case 1: return 16;
    case 2: return 8;
    default: return 0;
    }
}

int ValueSlot(int modelIndex, int valueIndex)
{
    return modelIndex == 2 ? valueIndex * 2 : valueIndex;
}

QStringList RowCells(QByteArrayView record, int modelIndex, const THistoryTexts &texts)
{
    QStringList cells;
    DecodeCells(record, modelIndex, texts, [&cells](QStringView cell) { cells << cell.toString(); });
    return cells;
}

THistoryGridRow GridRow(QByteArrayView record, int modelIndex, const THistoryTexts &texts)
{
    THistoryGridRow row;
    DecodeCells(record, modelIndex, texts, [&row](QStringView cell) { row.append(cell); });
    return row;
}

} // namespace HistoryRecord

int TSoftHistory::QuantityFromText(const QString &text)
{
    const TNumber quantity = ParseDecimal(text);
    return quantity.Ok() && quantity.Value >= std::numeric_limits<int>::min()
                   && quantity.Value <= std::numeric_limits<int>::max()
               ? int(quantity.Value)
               : 1;
}

int TSoftHistory::PageCount(int quantity)
{
    if (quantity <= HistoryRecord::PerPage)
        return 1;
    return quantity / HistoryRecord::PerPage + (quantity % HistoryRecord::PerPage != 0 ? 1 : 0);
}

int TSoftHistory::LineFromText(const QString &text)
{
    return QuantityFromText(text);
}

TSoftHistory::TEraseProgress TSoftHistory::EraseProgressFromChunk(QByteArrayView chunk)
{
    constexpr int Finished = 100;
    // Beyond this the number can never come back to 100; capping it keeps
    // a long run of digits from overflowing.
    constexpr int Cap = 1000000;
    TEraseProgress progress;
    for (char byte : chunk) {
        if (byte >= '0' && byte <= '9')
            progress.position = qMin(Cap, progress.position * 10 + (byte - '0'));
        if (progress.position == Finished) {
            progress.finished = true;
            break;
        }
    }
    return progress;
}

void TSoftHistory::InitGrid(THistoryGridModel &grid) const
{
    constexpr int FixedColumns = 8;
    for (int column = 0; column < FixedColumns; ++column) {
        const ConstLang::TLangTarget *target =
            ConstLang::FindTarget(QStringLiteral("SgHist"), ConstLang::TargetKind::GridHeader, column);
        if (target)
            grid.SetCell(column, 0, target->Text(ConstLang::Chinese).value_or(QString()));
    }
    // The grid's own first text of column 3, before any language switch.
    grid.SetCell(3, 0, QStringLiteral("信号"));
    // The value headers the grid starts with are those of a K801 in Chinese.
    const QStringList valueHeaders = ConstLang::HistoryValueHeaders(0, ConstLang::Chinese);
    for (int index = 0; index < valueHeaders.size(); ++index)
        grid.SetCell(FixedColumns + index, 0, valueHeaders.at(index));

    grid.SetHeaderRowHeight(20);
    grid.SetColumnWidth(0, 45);
    grid.SetColumnWidth(1, 80);
    grid.SetColumnWidth(2, 80);
    grid.SetColumnWidth(7, 100);
    grid.FillRowNumbers();
}

void TSoftHistory::SetValueColumns(THistoryGridModel &grid, int modelIndex, int language) const
{
    const int valueCount = HistoryRecord::ValueColumnCount(modelIndex);
    if (valueCount == 0 || (language != ConstLang::Chinese && language != ConstLang::English))
        return;
    constexpr int FirstValueColumn = 8;
    grid.SetColCount(FirstValueColumn + valueCount);
    const QStringList headers = ConstLang::HistoryValueHeaders(modelIndex, language);
    for (int valueIndex = 0; valueIndex < valueCount; ++valueIndex)
        grid.SetCell(FirstValueColumn + valueIndex, 0, headers.value(valueIndex));
}

void TSoftHistory::BeginRead(THistoryGridModel &grid)
{
    BeginReadAt(grid, 1);
}

void TSoftHistory::BeginReadAt(THistoryGridModel &grid, int firstNumber)
{
    grid.ClearDisplay();
    m_recordCounter = 0;
    m_emptyRecordCount = 0;
    m_numberOffset = qMax(1, firstNumber) - 1;
}

TSoftHistory::TPageResult TSoftHistory::ShowPage(THistoryGridModel &grid, const QByteArray &frame,
                                                 int quantity, int modelIndex)
{
    TPageResult result;
    if (!m_protocol.CheckFrame(frame))
        return result;
    result.frameValid = true;

    const TDataPack payload = m_protocol.GetData(frame);
    const int wholeRecords = qMin<int>(HistoryRecord::PerPage, payload.size() / HistoryRecord::Size);
    for (int slot = 0; slot < wholeRecords; ++slot) {
        if (m_recordCounter >= quantity)
            break;
        ++m_recordCounter;
        ++result.recordsTaken;
        const QByteArrayView record(payload.constData() + slot * HistoryRecord::Size,
                                    HistoryRecord::Size);
        if (HistoryRecord::IsEmpty(record)) {
            ++m_emptyRecordCount;
            if (m_emptyRecordCount >= 2) {
                m_emptyRecordCount = 0;
                result.stopRead = true;
            }
            break;
        }
        FillRow(grid, m_recordCounter, m_numberOffset + m_recordCounter, record, modelIndex);
        ++result.rowsFilled;
    }
    return result;
}

TSoftHistory::TRecordResult TSoftHistory::ShowRecord(THistoryGridModel &grid, const QByteArray &frame,
                                                     int line, int modelIndex) const
{
    if (!m_protocol.CheckFrame(frame))
        return TRecordResult::InvalidFrame;
    const TDataPack payload = m_protocol.GetData(frame);
    const QByteArrayView record(payload.constData(), qMin<qsizetype>(payload.size(), HistoryRecord::Size));
    if (HistoryRecord::IsEmpty(record))
        return TRecordResult::Empty;
    FillRow(grid, 1, line, record, modelIndex);
    return TRecordResult::Shown;
}

void TSoftHistory::FillRow(THistoryGridModel &grid, int row, int number, QByteArrayView record,
                           int modelIndex) const
{
    grid.SetRowNumber(row, number);
    grid.SetCells(row, 1, HistoryRecord::GridRow(record, modelIndex, m_texts));
}
