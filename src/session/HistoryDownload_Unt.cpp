#include "session/HistoryDownload_Unt.h"

#include "history/HistoryArchiveWriter_Unt.h"
#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "link/HistoryProtocol_Unt.h"

#include <utility>

THistoryDownload::THistoryDownload(TSoftHistory &soft, THistoryGridModel &grid, THistoryArchive *archive,
                                   QObject *parent)
    : QObject(parent), m_soft(soft), m_grid(grid), m_archive(archive)
{
}

void THistoryDownload::SetDevice(const QString &imei, const QString &model, int modelIndex)
{
    if (imei != m_imei) {
        m_canContinue = false;
        m_configuration.clear();
    }
    m_imei = imei;
    m_model = model;
    m_modelIndex = modelIndex;
}

void THistoryDownload::SetConfiguration(const QByteArray &image, const QDateTime &read)
{
    m_configuration = image;
    m_configurationRead = read;
}

int THistoryDownload::RecordsTaken() const
{
    return m_soft.RecordCounter();
}

int THistoryDownload::LastNumber() const
{
    const int row = m_grid.LastFilledRow();
    return row > 0 ? row + m_soft.NumberOffset() : 0;
}

THistoryReadJob *THistoryDownload::ReadAll(TDeviceSession *session, int quantity)
{
    m_quantity = quantity;
    return MakeJob(session, TSoftHistory::PageCount(quantity), TKind::All);
}

THistoryReadJob *THistoryDownload::ReadNew(TDeviceSession *session)
{
    // The whole space the log can fill; the read ends where the log does.
    m_quantity = TSoftHistory::MaxQuantity;
    PrepareArchive();
    const TArchivedRecord last =
        m_archiving ? m_archive->LastRecord(m_imei) : TArchivedRecord{};
    THistoryReadJob *job = MakeJob(session, TSoftHistory::PageCount(TSoftHistory::MaxQuantity), TKind::New);
    m_continuedAfter = last.number;
    if (last.number > 0)
        job->SetContinueAfter(last.number, last.raw);
    return job;
}

THistoryReadJob *THistoryDownload::Continue(TDeviceSession *session)
{
    if (!m_canContinue)
        return nullptr;
    THistoryReadJob *job = MakeJob(session, m_pageCount, TKind::Continue);
    // The pages of the first read were asked; the rows and counts it left stay.
    m_pagesStarted = true;
    job->SetStartPage(m_nextPage);
    return job;
}

THistoryReadJob *THistoryDownload::MakeJob(TDeviceSession *session, int pageCount, TKind kind)
{
    if (kind != TKind::Continue) {
        m_pageCount = pageCount;
        m_rowsFilled = 0;
        m_archived = 0;
        m_notArchived = 0;
        m_logRestarted = false;
        m_continuedAfter = 0;
        m_kind = kind;
    }
    m_continuing = kind == TKind::Continue;
    m_readOver = false;
    m_endOfLog = false;
    m_canContinue = false;
    m_pagesStarted = false;
    PrepareArchive();
    auto *job = new THistoryReadJob(session, pageCount);
    // The records say where the log ends; the quantity where the read does.
    job->SetStopWhen([this] { return m_endOfLog || m_soft.RecordCounter() >= m_quantity; });
    connect(job, &THistoryReadJob::readStarting, this, &THistoryDownload::Starting);
    connect(job, &THistoryReadJob::pageRead, this,
            [this](int page, const QByteArray &frame) { TakePage(page, frame); });
    connect(job, &TDeviceJob::finished, this, [this, job] { Ended(job); });
    // Records kept without the limits they were logged under would make a
    // report without pass or fail: the configuration is read first.
    if (m_archiving && m_configuration.isEmpty() && m_makeConfigRead) {
        job->SetReadConfigurationFirst(m_makeConfigRead);
        connect(job, &THistoryReadJob::configurationRead, this, [this](const QByteArray &image) {
            SetConfiguration(image, QDateTime::currentDateTime());
            emit configurationRead(m_configuration, m_configurationRead);
        });
    }
    return job;
}

void THistoryDownload::PrepareArchive()
{
    m_archiving = false;
    if (!m_archive) {
        m_archiveStatus = THistoryArchive::TStatus::Closed;
        return;
    }
    // A file that was locked or missing before may be usable now.
    if (!m_archive->IsReady())
        m_archive->Open();
    m_archiveStatus = m_archive->Status();
    m_archiving = m_archive->IsReady() && !m_imei.isEmpty();
    if (m_archiving && (!m_writer || m_writer->Path() != m_archive->Path())) {
        delete m_writer;
        m_writer = new THistoryArchiveWriter(m_archive->Path(), this);
        connect(m_writer, &THistoryArchiveWriter::batchesStored, this, &THistoryDownload::TakeStored);
    }
}

void THistoryDownload::Starting(int startPage, bool logRestarted)
{
    m_startPage = startPage;
    m_nextPage = startPage;
    m_pagesStarted = true;
    if (m_continuing)
        return;
    m_logRestarted = logRestarted;
    const int firstNumber = startPage * HistoryRecord::PerPage + 1;
    if (m_kind == TKind::New)
        m_quantity = TSoftHistory::MaxQuantity - (firstNumber - 1);
    m_soft.BeginReadAt(m_grid, firstNumber);
}

void THistoryDownload::TakePage(int page, const QByteArray &frame)
{
    const int taken = m_soft.RecordCounter();
    const TSoftHistory::TPageResult result = m_soft.ShowPage(m_grid, frame, m_quantity, m_modelIndex);
    if (!result.frameValid)
        return;
    m_nextPage = page + 1;
    m_rowsFilled += result.rowsFilled;
    if (m_archiving && result.rowsFilled > 0) {
        const QByteArray payload = THistoryProtocol().GetData(frame);
        for (int slot = 0; slot < result.rowsFilled; ++slot) {
            m_pending.append(TArchivedRecord{m_soft.NumberOffset() + taken + slot + 1,
                                             payload.mid(slot * HistoryRecord::Size, HistoryRecord::Size)});
        }
        if (m_pending.size() >= StoreBatch)
            Flush();
    }
    m_endOfLog = result.stopRead;
}

void THistoryDownload::Ended(THistoryReadJob *job)
{
    m_readOver = true;
    Flush();
    // The last batch is a few hundred records at most; the counts in the
    // message that follows need it stored.
    if (m_writer) {
        m_writer->WaitForStored();
        TakeStored();
    }
    // The download's records are in; the limits they were logged under go
    // beside them, with the PC's time zone that gives their times a meaning.
    if (m_archiving && m_archived > 0)
        m_archive->StoreDownload(m_imei, m_configuration, m_configurationRead);
    const THistoryReadJob::TOutcome outcome = job->outcome();
    // A read that got to its first page and did not reach its end can go on
    // from the page it did not get.
    m_canContinue = outcome != TDeviceJob::TOutcome::Done && m_pagesStarted && m_nextPage < m_pageCount;
    emit readEnded(outcome);
}

void THistoryDownload::Flush()
{
    if (m_pending.isEmpty())
        return;
    if (m_archiving && m_writer) {
        const int ticket = m_writer->Store(m_imei, m_model, m_pending);
        m_storing.insert(ticket, std::exchange(m_pending, {}));
        return;
    }
    m_notArchived += m_pending.size();
    m_pending.clear();
}

void THistoryDownload::TakeStored()
{
    if (!m_writer)
        return;
    for (const THistoryArchiveWriter::TResult &result : m_writer->TakeResults()) {
        QVector<TArchivedRecord> batch = m_storing.take(result.ticket);
        if (result.added >= 0) {
            m_archived += result.added;
            continue;
        }
        m_archiveStatus = result.status == THistoryArchive::TStatus::Ready ? THistoryArchive::TStatus::Locked
                                                                            : result.status;
        if (result.status == THistoryArchive::TStatus::Corrupt && m_archive)
            m_archive->MarkDamaged(result.error);
        // Held by someone else for now: the records wait for the next batch.
        if (m_archiving && !m_readOver && result.status == THistoryArchive::TStatus::Ready
            && m_pending.size() + batch.size() < 20 * StoreBatch) {
            m_pending = batch + m_pending;
            continue;
        }
        m_archiving = false;
        m_notArchived += batch.size();
    }
    if (!m_archiving && !m_pending.isEmpty()) {
        m_notArchived += m_pending.size();
        m_pending.clear();
    }
}
