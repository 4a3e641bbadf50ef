#pragma once

#include <QString>

class TDeviceJob;

// Told of every job a session starts and ends (the audit trail's recorder).
// Starting runs before the job claims the session and sends anything; a
// non-empty answer refuses the start: the job ends at once as Failed with
// NotLogged and the answer as its detail. Ended runs when the job ends,
// before its finished() signal. Jobs run as steps of another job are not told.
class TJobWatch
{
public:
    virtual ~TJobWatch() = default;
    virtual QString Starting(const TDeviceJob &job) = 0;
    virtual void Ended(const TDeviceJob &job) = 0;
};
