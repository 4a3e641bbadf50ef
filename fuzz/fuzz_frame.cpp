// The frame codec on arbitrary received bytes: the check, the whole-frame
// test, the length field and the data cut out of it.
#include "FuzzCheck.h"

#include "link/BasicProtocol_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray received = FuzzBytes(data, size);
    const TBasicProtocol protocol;
    const bool checked = protocol.CheckFrame(received);
    const bool whole = protocol.IsWholeFrame(received);
    const int length = protocol.GetDataLength(received);
    const TDataPack payload = protocol.GetData(received);
    FUZZ_CHECK(length >= 0 && length <= 0xFFFF);
    FUZZ_CHECK(payload.size() <= length || received.size() <= TBasicProtocol::HeadSize);
    FUZZ_CHECK(!whole || checked);
    if (whole) {
        // A whole frame is exactly what the codec builds from its parts.
        FUZZ_CHECK(payload.size() == length);
        const TAddress address{quint8(received.at(2)), quint8(received.at(3)), quint8(received.at(4)),
                               quint8(received.at(5))};
        FUZZ_CHECK(protocol.BuildFrame(quint8(received.at(1)), address, payload) == received);
    }
    // Whatever the codec builds passes both tests.
    const TDataPack built = protocol.BuildFrame(size ? data[0] : 0, protocol.IntToAddress(quint32(size)),
                                                received.left(0xFFFF));
    FUZZ_CHECK(protocol.CheckFrame(built) && protocol.IsWholeFrame(built));
    return 0;
}
