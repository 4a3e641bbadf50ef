#pragma once

#include "FuzzCheck.h"

#include "link/BasicProtocol_Unt.h"

// A reply for a decoder: with the first byte odd, the rest of the input
// wrapped as the data of a valid frame of command (so the decoders get past
// the frame check), otherwise the rest as received bytes.
inline QByteArray ReplyInput(const std::uint8_t *data, std::size_t size, quint8 command)
{
    if (size == 0)
        return {};
    const QByteArray rest = FuzzBytes(data + 1, size - 1);
    if ((data[0] & 1) == 0)
        return rest;
    const TBasicProtocol protocol;
    return protocol.BuildFrame(command, protocol.IntToAddress(0), rest.left(0xFFFF));
}
