#include "history/HistoryCsv_Unt.h"

#include "base/FileSafety_Unt.h"

#include "base/GbkText_Unt.h"
#include "history/HistoryFilter_Unt.h"

#include <QFile>
#include <QSaveFile>

namespace {

constexpr char16_t Quote = u'"';
constexpr char16_t Comma = u',';


// Splits text into lines at CR LF, LF or CR, keeping at most maxLines; a
// line end at the very end does not start another line.
std::vector<QStringView> SplitLines(QStringView text, int maxLines)
{
    std::vector<QStringView> lines;
    qsizetype start = 0;
    const qsizetype length = text.size();
    while (start < length && int(lines.size()) < maxLines) {
        qsizetype end = start;
        while (end < length && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.push_back(text.mid(start, end - start));
        if (end < length && text[end] == u'\r' && end + 1 < length && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}

// Splits a line at the commas and hands each field to take. Unquoted fields
// are handed over without a copy.
template<typename Take>
void SplitFields(QStringView line, Take take)
{
    const qsizetype length = line.size();
    qsizetype position = 0;
    while (true) {
        if (position < length && line[position] == Quote) {
            QString field;
            ++position;
            while (position < length) {
                if (line[position] == Quote) {
                    if (position + 1 < length && line[position + 1] == Quote) {
                        field += QChar(Quote);
                        position += 2;
                        continue;
                    }
                    ++position;
                    break;
                }
                field += line[position++];
            }
            const qsizetype restStart = position;
            while (position < length && line[position] != Comma)
                ++position;
            field += line.mid(restStart, position - restStart);
            take(QStringView(field));
        } else {
            const qsizetype start = position;
            while (position < length && line[position] != Comma)
                ++position;
            take(line.mid(start, position - start));
        }
        if (position >= length)
            break;
        ++position;   // past the comma; a comma at the end gives an empty last field
    }
}

// Control bytes that text files hold: tab, line ends, vertical tab, form
// feed and the old end-of-file mark 0x1A. Any other byte below 0x20 means
// the file is not text.
bool IsTextByte(char byte)
{
    const auto value = quint8(byte);
    return value >= 0x20 || value == '\t' || value == '\n' || value == '\v' || value == '\f'
        || value == '\r' || value == 0x1A;
}

// Checks bytes that continue the file, carrying the length of the line that
// runs on from the chunk before in *lineLength.
THistoryCsv::TError CheckChunk(const QByteArray &chunk, qint64 *lineLength)
{
    for (const char byte : chunk) {
        if (!IsTextByte(byte))
            return THistoryCsv::TError::NotText;
        if (byte == '\n' || byte == '\r') {
            *lineLength = 0;
        } else if (++*lineLength > THistoryCsv::MaxLineLength) {
            return THistoryCsv::TError::TooLarge;
        }
    }
    return THistoryCsv::TError::None;
}

void AppendField(QString &line, QStringView field)
{
    if (field.contains(QChar(Comma)) || field.contains(QChar(Quote))) {
        line += QChar(Quote);
        for (QChar character : field) {
            if (character == Quote)
                line += QChar(Quote);
            line += character;
        }
        line += QChar(Quote);
    } else {
        line += field;
    }
}

} // namespace

QString THistoryCsv::TResult::TextKey() const
{
    switch (error) {
    case TError::None:
        return {};
    case TError::WriteFailed:
        return QStringLiteral("MsgCsvExportFailed");
    case TError::TooLarge:
        return QStringLiteral("MsgCsvTooLarge");
    case TError::NotText:
        return QStringLiteral("MsgCsvNotText");
    case TError::NoRecords:
        return QStringLiteral("MsgCsvNoRecords");
    case TError::OpenFailed:
    case TError::ReadFailed:
        break;
    }
    return QStringLiteral("MsgCsvImportFailed");
}

QString THistoryCsv::ModelName(int modelIndex)
{
    switch (modelIndex) {
    case 1: return QStringLiteral("K802");
    case 2: return QStringLiteral("K803");
    default: return QStringLiteral("K801");
    }
}

QString THistoryCsv::DefaultFileName(int modelIndex, const QDateTime &now)
{
    return ModelName(modelIndex) + u'_' + now.toString(QStringLiteral("yyMMddHHmmss"));
}

QString THistoryCsv::WithCsvExtension(const QString &fileName)
{
    if (fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return fileName;
    return fileName + QLatin1String(".csv");
}

QStringList THistoryCsv::SplitLine(QStringView line)
{
    QStringList fields;
    SplitFields(line, [&fields](QStringView field) { fields << field.toString(); });
    return fields;
}

QString THistoryCsv::JoinLine(const QStringList &fields)
{
    QString line;
    for (qsizetype index = 0; index < fields.size(); ++index) {
        if (index > 0)
            line += QChar(Comma);
        AppendField(line, fields.at(index));
    }
    return line;
}

THistoryCsv::TResult THistoryCsv::Export(const THistoryGridModel &grid, const QString &fileName)
{
    TResult result;
    result.fileName = WithCsvExtension(fileName);

    const int fieldCount = grid.ColCount() - 1;
    const QString emptyLine(qMax(0, fieldCount - 1), QChar(Comma));
    const QString lineEnd = QStringLiteral("\r\n");
    QString text;
    text.reserve(qsizetype(grid.RowCount()) * (emptyLine.size() + 2));
    for (int row = 1; row < grid.RowCount(); ++row) {
        const int filled = grid.FieldCount(row);
        for (int field = 0; field < filled; ++field) {
            if (field > 0)
                text += QChar(Comma);
            AppendField(text, grid.CellView(field + 1, row));
        }
        // The grid keeps no trailing empty cells; their commas follow here.
        text += QStringView(emptyLine).left(fieldCount - qMax(1, filled));
        text += lineEnd;
    }

    // Without a conversion every Chinese text would be lost; the file on
    // disk stays as it was.
    if (!TGbkText::Available()) {
        result.error = TError::WriteFailed;
        result.systemText = TGbkText::NoConversionReason();
        return result;
    }
    const QByteArray bytes = TGbkText::Encode(text);

    const FileSafety::TSaveResult saved = FileSafety::SaveFile(result.fileName, bytes, false);
    if (!saved.ok()) {
        result.error = TError::WriteFailed;
        result.systemText = saved.error == FileSafety::TFileError::NotRegular
                                ? QStringLiteral("Not a regular file (a link, folder, device or FIFO)")
                                : saved.detail;
        return result;
    }
    result.lines = grid.RowCount() - 1;
    return result;
}

THistoryCsvWriter::THistoryCsvWriter(const QString &fileName, int fieldCount)
    : m_fieldCount(qMax(0, fieldCount)), m_emptyLine(qMax(0, fieldCount - 1), QChar(Comma))
{
    m_result.fileName = THistoryCsv::WithCsvExtension(fileName);
}

THistoryCsvWriter::~THistoryCsvWriter()
{
    delete m_file;
}

bool THistoryCsvWriter::Open()
{
    // Without a conversion every Chinese text would be lost.
    if (!TGbkText::Available()) {
        m_result.error = THistoryCsv::TError::WriteFailed;
        m_result.systemText = TGbkText::NoConversionReason();
        return false;
    }
    // QSaveFile would write through a link or into a device.
    if (!FileSafety::IsWritableTarget(m_result.fileName)) {
        m_result.error = THistoryCsv::TError::WriteFailed;
        m_result.systemText = QStringLiteral("Not a regular file (a link, folder, device or FIFO)");
        return false;
    }
    m_file = new QSaveFile(m_result.fileName);
    if (!m_file->open(QIODevice::WriteOnly)) {
        m_result.error = THistoryCsv::TError::WriteFailed;
        m_result.systemText = m_file->errorString();
        return false;
    }
    return true;
}

void THistoryCsvWriter::AddRow(const THistoryGridRow &cells)
{
    if (!m_result)
        return;
    const int filled = qMin(cells.size(), m_fieldCount);
    for (int field = 0; field < filled; ++field) {
        if (field > 0)
            m_text += QChar(Comma);
        AppendField(m_text, cells.at(field));
    }
    m_text += QStringView(m_emptyLine).left(m_fieldCount - qMax(1, filled));
    m_text += QStringLiteral("\r\n");
    ++m_result.lines;
    if (m_text.size() >= 1024 * 1024)
        WriteOut();
}

bool THistoryCsvWriter::WriteOut()
{
    const QByteArray bytes = TGbkText::Encode(m_text);
    m_text.clear();
    if (m_file->write(bytes) != bytes.size()) {
        m_result.error = THistoryCsv::TError::WriteFailed;
        m_result.systemText = m_file->errorString();
        return false;
    }
    return true;
}

THistoryCsv::TResult THistoryCsvWriter::Finish()
{
    if (!m_file || !m_result)
        return m_result;
    while (m_result.lines < THistoryGridModel::RecordRowCount)
        AddRow(THistoryGridRow());
    if (!WriteOut())
        return m_result;
    if (!m_file->commit()) {
        m_result.error = THistoryCsv::TError::WriteFailed;
        m_result.systemText = m_file->errorString();
    }
    return m_result;
}

QString THistoryCsv::IsoTime(const QString &date, const QString &time)
{
    const QStringList dateParts = date.split(QLatin1Char('/'));
    const QStringList timeParts = time.split(QLatin1Char(':'));
    if (dateParts.size() != 3 || timeParts.size() != 3)
        return {};
    int numbers[6];
    for (int part = 0; part < 6; ++part) {
        bool ok = false;
        numbers[part] = (part < 3 ? dateParts : timeParts).at(part % 3).toInt(&ok);
        if (!ok)
            return {};
    }
    // The device keeps the year within the century.
    const QDate day(2000 + numbers[0], numbers[1], numbers[2]);
    const QTime moment(numbers[3], numbers[4], numbers[5]);
    if (!day.isValid() || !moment.isValid() || numbers[0] > 99)
        return {};
    // The device clock has no zone: it is read as the PC's local time, with
    // the offset the PC's zone has on that day (summer time included).
    const int offset = QDateTime(day, moment).offsetFromUtc();
    const int minutes = qAbs(offset) / 60;
    return day.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('T') + moment.toString(QStringLiteral("HH:mm:ss"))
        + QLatin1Char(offset < 0 ? '-' : '+') + QStringLiteral("%1:%2").arg(minutes / 60, 2, 10, QLatin1Char('0')).arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

THistoryCsv::TResult THistoryCsv::ExportIso(const THistoryGridModel &grid, const QString &fileName,
                                            const QString &timeCaption)
{
    TResult result;
    result.fileName = WithCsvExtension(fileName);
    const int fieldCount = grid.ColCount() - 1;
    const QString lineEnd = QStringLiteral("\r\n");

    // The header: the grid's captions, date and time made one column.
    QStringList header{timeCaption};
    for (int column = 3; column <= fieldCount; ++column)
        header << grid.Cell(column, 0);
    QString text = JoinLine(header) + lineEnd;
    const int rows = grid.LastFilledRow();
    for (int row = 1; row <= rows; ++row) {
        QStringList fields = grid.RowFields(row);
        while (fields.size() < fieldCount)
            fields << QString();
        const QString iso = IsoTime(fields.at(0), fields.at(1));
        // A damaged time stays as the device gave it rather than being lost.
        fields.replace(0, iso.isEmpty() && !(fields.at(0).isEmpty() && fields.at(1).isEmpty())
                              ? fields.at(0) + QLatin1Char(' ') + fields.at(1)
                              : iso);
        fields.removeAt(1);
        text += JoinLine(fields) + lineEnd;
    }

    if (!TGbkText::Available()) {
        result.error = TError::WriteFailed;
        result.systemText = TGbkText::NoConversionReason();
        return result;
    }
    const QByteArray bytes = TGbkText::Encode(text);
    const FileSafety::TSaveResult saved = FileSafety::SaveFile(result.fileName, bytes, false);
    if (!saved.ok()) {
        result.error = TError::WriteFailed;
        result.systemText = saved.error == FileSafety::TFileError::NotRegular
                                ? QStringLiteral("Not a regular file (a link, folder, device or FIFO)")
                                : saved.detail;
        return result;
    }
    result.lines = rows + 1;
    return result;
}

THistoryCsv::TResult THistoryCsv::Import(THistoryGridModel &grid, const QString &fileName)
{
    TResult result;
    result.fileName = fileName;
    const int maxLines = grid.RowCount() - 1;

    // A FIFO or a device is refused before it is opened: it would block or
    // never end.
    QFile file;
    QString reason;
    switch (FileSafety::OpenRegularFile(file, fileName, MaxFileSize, &reason)) {
    case FileSafety::TFileError::None:
        break;
    case FileSafety::TFileError::TooLarge:
        result.error = TError::TooLarge;
        return result;
    case FileSafety::TFileError::Missing:
        result.error = TError::OpenFailed;
        result.systemText = QStringLiteral("No such file");
        return result;
    case FileSafety::TFileError::NotRegular:
        result.error = TError::OpenFailed;
        result.systemText = QStringLiteral("Not a regular file (a folder, device or FIFO)");
        return result;
    case FileSafety::TFileError::Failed:
        result.error = TError::OpenFailed;
        result.systemText = reason;
        return result;
    }
    // Only the lines the grid can show are needed: stop reading once more
    // line ends than grid rows have arrived, however long the file is. Bad
    // bytes, a line too long or more bytes than the size allows (a file that
    // grows, or a device) stop the read at once.
    constexpr qint64 ChunkSize = 1 << 20;
    QByteArray bytes;
    qsizetype lineFeeds = 0;
    qsizetype carriageReturns = 0;
    qint64 lineLength = 0;
    while (lineFeeds <= maxLines && carriageReturns <= maxLines) {
        const QByteArray chunk = file.read(ChunkSize);
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError) {
                result.error = TError::ReadFailed;
                result.systemText = file.errorString();
                return result;
            }
            break;
        }
        result.error = CheckChunk(chunk, &lineLength);
        if (result.error == TError::None && bytes.size() + chunk.size() > MaxFileSize)
            result.error = TError::TooLarge;
        if (result.error != TError::None)
            return result;
        lineFeeds += chunk.count('\n');
        carriageReturns += chunk.count('\r');
        bytes += chunk;
    }

    TResult imported = ImportBytes(grid, bytes);
    imported.fileName = fileName;
    return imported;
}

THistoryCsv::TResult THistoryCsv::ImportBytes(THistoryGridModel &grid, const QByteArray &bytes)
{
    TResult result;
    const int maxLines = grid.RowCount() - 1;
    qint64 lineLength = 0;
    if (bytes.size() > MaxFileSize)
        result.error = TError::TooLarge;
    else
        result.error = CheckChunk(bytes, &lineLength);
    if (result.error != TError::None)
        return result;

    if (!TGbkText::CanDecode(bytes)) {
        result.error = TError::ReadFailed;
        result.systemText = TGbkText::NoConversionReason();
        return result;
    }
    const QString text = TGbkText::Decode(bytes);

    const std::vector<QStringView> lines = SplitLines(text, maxLines);
    const int fieldCount = grid.ColCount() - 1;
    std::vector<THistoryGridRow> rows(lines.size());
    bool anyRecord = false;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        THistoryGridRow &row = rows[index];
        SplitFields(lines[index], [&row, fieldCount](QStringView field) {
            if (row.size() < fieldCount)
                row.append(field);
        });
        if (!anyRecord && row.size() >= 2) {
            QDate date;
            QTime time;
            // Six numbers make the fields, even when they are no calendar
            // date: the Search button names such a row.
            anyRecord = THistoryFilter::RecordTime(row.at(0).toString(), row.at(1).toString(), &date,
                                                   &time)
                != THistoryFilter::TRowTime::Skipped;
        }
    }
    if (!anyRecord) {
        result.error = TError::NoRecords;
        return result;
    }
    result.lines = int(rows.size());
    grid.ReplaceRecordRows(std::move(rows));
    return result;
}
