#pragma once

#include "session/DeviceJob_Unt.h"

#include <QPointer>

#include <functional>

class TConfigReadJob;

// Reads the history log page by page (four records a page), each page asked
// for again when its answer is missing or unusable, and once more when it
// repeats the previous page's bytes (a late copy of that page). Every page
// is handed on as it comes; after each one the stop condition it was given
// says whether the read has what it needs (the log ended, the quantity is in).
// A page that does not come ends it as Failed (HistoryPageMissing with the
// page; ContinuationMissing with the record when the record asked for before
// the pages does not come).
class THistoryReadJob : public TDeviceJob
{
    Q_OBJECT
public:
    THistoryReadJob(TDeviceSession *session, int pageCount, QObject *parent = nullptr);

    // Reading starts at this page instead of page 0 (a read that goes on
    // where an earlier one ended); pages up to pageCount - 1 are asked.
    void SetStartPage(int page) { m_startPage = qMax(0, page); }
    int StartPage() const { return m_startPage; }
    // Before the pages, the device is asked for record number (counted
    // from 1), the last one read before. When it still holds those bytes the
    // log has only grown, and reading starts at the page after the record
    // (the page holding record number + 1); otherwise the log was erased or
    // started again since, LogRestarted() says so, and reading starts at
    // page 0. The start page set above is not used then.
    void SetContinueAfter(int number, const QByteArray &record);
    bool LogRestarted() const { return m_logRestarted; }

    // Before the log (and the record asked for before the pages), the
    // configuration is read with the job makeRead gives (the connection's
    // own read), and handed on with configurationRead(), so that the records
    // can be kept with the limits they were logged under. A configuration
    // that does not come leaves the limits unknown; the log is read all the
    // same. A stop or a lost line during it ends the read.
    using TConfigReadMaker = std::function<TConfigReadJob *()>;
    void SetReadConfigurationFirst(TConfigReadMaker makeRead) { m_makeConfigRead = std::move(makeRead); }

    // Asked after every page handed on; true ends the read as Done.
    using TStopCondition = std::function<bool()>;
    void SetStopWhen(TStopCondition stop) { m_stopWhen = std::move(stop); }
    // Pages handed on.
    int PagesRead() const { return m_pagesRead; }
    // Pages that came twice with the same bytes even when asked again.
    int RepeatedPages() const { return m_repeatedPages; }

signals:
    // The configuration image read before the log (SetReadConfigurationFirst).
    void configurationRead(const QByteArray &image);
    // The pages are about to be asked for, from startPage on; after
    // SetContinueAfter, logRestarted says the earlier record is gone.
    void readStarting(int startPage, bool logRestarted);
    // The whole reply frame of a page.
    void pageRead(int page, const QByteArray &frame);

protected:
    void Begin() override;
    void Cancelling() override;

private:
    void ReadConfiguration();
    void BeginLog();
    void CheckContinuation();
    void StartPages(int page);
    void ReadPage(int page, bool askedAgain);

    int m_pageCount;
    int m_startPage = 0;
    int m_continueAfter = 0;
    QByteArray m_continueRecord;
    bool m_logRestarted = false;
    int m_pagesRead = 0;
    int m_repeatedPages = 0;
    TStopCondition m_stopWhen;
    QByteArray m_previousPayload;
    TConfigReadMaker m_makeConfigRead;
    QPointer<TConfigReadJob> m_configRead;
};
