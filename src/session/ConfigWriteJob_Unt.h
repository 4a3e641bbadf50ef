#pragma once

#include "session/DeviceJob_Unt.h"

#include <QList>

// Writes an encoded configuration image: the 16 pages in order, each asked
// again when its acknowledgement does not come. A page never acknowledged is
// named in the failure record (Unconfirmed, pages); the others are still
// written.
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
    void WritePage(int page);

    QByteArray m_image;
    QList<int> m_unconfirmed;
    int m_pagesSent = 0;
};
