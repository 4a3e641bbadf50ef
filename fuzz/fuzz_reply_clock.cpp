// The clock reply's decoders: the date and time the main window shows.
#include "ReplyInput.h"

#include "link/SyncTimeProtocol_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply = ReplyInput(data, size, TBasicProtocol::CmdReadClock);
    const TSyncTimeProtocol clock;
    const QDate date = clock.ReplyDate(reply);
    const QTime time = clock.ReplyTime(reply);
    FUZZ_CHECK(!date.isValid() || (date.year() >= 2000 && date.year() <= 2255));
    FUZZ_CHECK(!time.isValid() || time.msec() == 0);
    return 0;
}
