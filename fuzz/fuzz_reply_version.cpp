// The version reply's decoders: model, version, IMEI and signal.
#include "ReplyInput.h"

#include "link/VersionProtocol_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply = ReplyInput(data, size, TBasicProtocol::CmdVersion);
    const TVersionProtocol version;
    FUZZ_CHECK(version.ReplyModel(reply).size() <= 8);
    FUZZ_CHECK(version.ReplyVersion(reply).size() <= 8);
    FUZZ_CHECK(version.ReplyIMEI(reply).size() <= 16);
    const QString signal = version.ReplySignal(reply);
    FUZZ_CHECK(signal.isEmpty() || (signal.toInt() >= 0 && signal.toInt() <= 255));
    return 0;
}
