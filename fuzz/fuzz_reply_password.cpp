// The password reply's decoder.
#include "ReplyInput.h"

#include "link/PasswordProtocol_Unt.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply = ReplyInput(data, size, TBasicProtocol::CmdPassword);
    const TPasswordProtocol password;
    const bool accepted = password.PasswordAccepted(reply);
    // Only a valid frame with a non-zero first data byte is an acceptance.
    FUZZ_CHECK(!accepted || (password.CheckFrame(reply) && !password.GetData(reply).isEmpty()
                             && password.GetData(reply).at(0) != 0));
    return 0;
}
