#pragma once

#include "session/DeviceJob_Unt.h"

#include <QList>

// Writes an encoded configuration image: the 16 pages in order, each asked
// again when its acknowledgement does not come. After a page that gets no
// acknowledgement to its two sends, one short further request asks whether
// the device still answers: when it does, the page is sent a last time, and
// when that too is not acknowledged it is named in the failure record
// (Unconfirmed, pages) and the others are still written; when it does not,
// the job gives up at once (StoppedAnswering, page) rather than spend the
// attempts of every later page on a silent device.
class TConfigWriteJob : public TDeviceJob
{
    Q_OBJECT
public:
    TConfigWriteJob(TDeviceSession *session, const QByteArray &image, QObject *parent = nullptr);

    // Pages sent so far, including one in flight when the job was stopped.
    int PagesSent() const { return m_pagesSent; }

protected:
    void Begin() override;

private:
    // lastTry: the one send after a probe the device answered.
    void WritePage(int page, bool lastTry = false);
    void NextPage(int page);
    // One short request after a page got no answer; then the write goes on
    // or gives up.
    void Probe(int page);

    QByteArray m_image;
    QList<int> m_unconfirmed;
    int m_pagesSent = 0;
};
