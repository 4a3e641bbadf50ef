#include "session/HistoryDownload_Unt.h"

#include "history/HistoryGridModel_Unt.h"
#include "history/SoftInterfaceHistory_Unt.h"
#include "link/HistoryProtocol_Unt.h"

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
    m_endOfLog = false;
    m_canContinue = false;
    m_pagesStarted = false;
    PrepareArchive();
    auto *job = new THistoryReadJob(session, pageCount);
    connect(job, &THistoryReadJob::readStarting, this, &THistoryDownload::Starting);
    connect(job, &THistoryReadJob::pageRead, this,
            [this, job](int page, const QByteArray &frame) { TakePage(job, page, frame); });
    connect(job, &TDeviceJob::finished, this, [this, job] { Ended(job); });
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

void THistoryDownload::TakePage(THistoryReadJob *job, int page, const QByteArray &frame)
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
    if (result.stopRead || m_soft.RecordCounter() >= m_quantity)
        job->EndOfLog();
}

void THistoryDownload::Ended(THistoryReadJob *job)
{
    Flush(true);
    // The download's records are in; the limits they were logged under go
    // beside them.
    if (m_archiving && m_archived > 0 && !m_configuration.isEmpty())
        m_archive->StoreConfiguration(m_imei, m_configuration, m_configurationRead);
    const THistoryReadJob::TOutcome outcome = job->outcome();
    // A read that got to its first page and did not reach its end can go on
    // from the page it did not get.
    m_canContinue = outcome != TDeviceJob::TOutcome::Done && m_pagesStarted && m_nextPage < m_pageCount;
    emit readEnded(outcome);
}

void THistoryDownload::Flush(bool last)
{
    if (m_pending.isEmpty())
        return;
    if (m_archiving) {
        const int added = m_archive->Store(m_imei, m_model, m_pending);
        if (added >= 0) {
            m_archived += added;
            m_pending.clear();
            return;
        }
        m_archiveStatus = m_archive->Status() == THistoryArchive::TStatus::Ready
                              ? THistoryArchive::TStatus::Locked
                              : m_archive->Status();
        // Held by someone else for now: the records wait for the next batch.
        if (!last && m_archive->IsReady() && m_pending.size() < 20 * StoreBatch)
            return;
        m_archiving = false;
    }
    m_notArchived += m_pending.size();
    m_pending.clear();
}
