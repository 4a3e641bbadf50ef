#pragma once

#include "session/DeviceJob_Unt.h"

// Erases the device's log. The device reports its progress as decimal digits
// in chunks of their own and is done at 100. Cancelling only stops watching:
// the device goes on erasing. Without the report of its end the job fails
// as EraseUnconfirmed: the log may be partly erased.
class THistoryEraseJob : public TDeviceJob
{
    Q_OBJECT
public:
    explicit THistoryEraseJob(TDeviceSession *session, QObject *parent = nullptr);

protected:
    void Begin() override;
};
