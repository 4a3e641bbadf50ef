#pragma once

#include "link/IProtocol_Unt.h"

#include <QByteArray>
#include <array>

// A growable run of bytes: frames, payloads, pages and the configuration image.
using TDataPack = QByteArray;
// A device memory address, exactly 4 bytes, most significant first.
using TAddress = std::array<quint8, 4>;

// Frame layout shared by every request and reply:
//   '#' (0x23) | command | address (4, MSB first) | length N (2, high first)
//   | N data bytes | XOR of command .. last data byte
// The codec is stateless; the command classes only choose code, address and data.
class TBasicProtocol : public IProtocol
{
public:
    static constexpr quint8 StartByte = 0x23;
    static constexpr int HeadSize = 8;
    static constexpr int PageSize = 256;
    static constexpr int RecordSize = 64;

    enum Command : quint8 {
        CmdPassword = 0x01,
        CmdSetClock = 0x03,
        CmdVersion = 0x05,
        CmdValues = 0x06,
        CmdReadClock = 0x08,
        CmdWriteMemory = 0x82,
        CmdReadMemory = 0x83,
        CmdClearHistory = 0x85,
    };

    ~TBasicProtocol() override = default;

    // True when the bytes start with '#' and their last byte is the XOR of the
    // bytes between. The length field, command and address are not tested.
    bool CheckFrame(const QByteArray &received) const override;
    // True when the bytes are exactly one frame: a head whose length field
    // matches the data that follow, and a checksum that passes. A reply that
    // passes is whole, so the line need not be watched for more of it.
    bool IsWholeFrame(const QByteArray &received) const;
    // XOR of all bytes, starting from 0.
    quint8 GetCheckSum(const QByteArray &bytes) const override;
    // The length field (0..65535), or 0 when fewer than 9 bytes were received.
    virtual int GetDataLength(const QByteArray &received) const;
    // The data bytes the length field announces, cut short where the
    // received bytes end; empty for 8 bytes or fewer. Does not check the frame.
    virtual TDataPack GetData(const QByteArray &received) const;
    virtual TDataPack BytesToPack(const char *buffer, quint16 count) const;
    virtual TAddress IntToAddress(quint32 value) const;

    TDataPack BuildFrame(quint8 command, const TAddress &address,
                         const QByteArray &data = QByteArray()) const;
    // The index-th piece of the given size; shorter at the end, empty beyond it.
    TDataPack SlicePack(const TDataPack &data, int index, int size) const;
    // 256 bytes of the filler with the source (at most 256 bytes) copied over its start.
    TDataPack FillPage(const TDataPack &source, quint8 filler) const;

    static quint32 PageAddress(int page) { return quint32(page) * 256u; }
    static quint32 HistoryPageAddress(int page) { return 0x4000u + quint32(page) * 256u; }
    static quint32 HistoryRecordAddress(int record) { return 0x3FC0u + quint32(record) * 64u; }

    // Hands the bytes to the protocol log (direction 0 sent, 1 received).
    void LogFrame(const QByteArray &bytes, int direction) const override;
};
