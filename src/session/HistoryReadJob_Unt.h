#pragma once

#include "session/DeviceJob_Unt.h"

// Reads the history log page by page (four records a page), each page asked
// for again when its answer is missing or unusable, and once more when it
// repeats the previous page's bytes (a late copy of that page). Every page
// is handed on as it comes; the observer calls EndOfLog() when the records
// say the log has ended.
class THistoryReadJob : public TDeviceJob
{
    Q_OBJECT
public:
    THistoryReadJob(TDeviceSession *session, int pageCount, QObject *parent = nullptr);

    // Ends the read after the page being handed on; the outcome is Done.
    void EndOfLog() { m_endOfLog = true; }
    // Pages handed on.
    int PagesRead() const { return m_pagesRead; }
    // The page (counted from 0) that gave no usable answer; -1 when none.
    int FailedPage() const { return m_failedPage; }
    // Pages that came twice with the same bytes even when asked again.
    int RepeatedPages() const { return m_repeatedPages; }

signals:
    // The whole reply frame of a page.
    void pageRead(int page, const QByteArray &frame);

protected:
    void Begin() override;

private:
    void ReadPage(int page, bool askedAgain);

    int m_pageCount;
    int m_pagesRead = 0;
    int m_failedPage = -1;
    int m_repeatedPages = 0;
    bool m_endOfLog = false;
    QByteArray m_previousPayload;
};
