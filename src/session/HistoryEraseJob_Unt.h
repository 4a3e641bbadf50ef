#pragma once

#include "session/DeviceJob_Unt.h"

// Erases the device's log. The device reports its progress as decimal digits
// in chunks of their own and is done at 100. Cancelling only stops watching:
// the device goes on erasing.
class THistoryEraseJob : public TDeviceJob
{
    Q_OBJECT
public:
    explicit THistoryEraseJob(TDeviceSession *session, QObject *parent = nullptr);

protected:
    void Begin() override;
};
