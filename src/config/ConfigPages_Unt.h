#pragma once

#include "link/BasicProtocol_Unt.h"

#include <QVector>

// Paging of the configuration image over the link. A read asks for pages 0 to
// 14 (3840 bytes, covering the 3646 of the image); a write sends pages 0 to 15,
// each 256 bytes, the bytes past the image's end filled with 0xFF.
namespace ConfigPages {

constexpr int PageSize = TBasicProtocol::PageSize;
constexpr int ReadPageCount = 15;
constexpr int WritePageCount = 16;
constexpr quint8 Filler = 0xFF;

// The 256 data bytes of write page `page` (0..15): the image bytes of that
// page, then 0xFF; 256 bytes 0xFF for a page past the image's end.
TDataPack WritePage(const TDataPack &image, int page);

} // namespace ConfigPages

// Gathers the pages of a configuration read, each at its own place, so that a
// lost or cut reply leaves a gap the read can ask for again instead of
// shifting every later field.
class TConfigPageBuffer
{
public:
    TConfigPageBuffer();

    void Clear();
    // Stores the payload of a page reply. False, and nothing stored, when the
    // page is outside 0..14 or the payload is not exactly 256 bytes.
    [[nodiscard]] bool SetPage(int page, const TDataPack &payload);
    bool HasPage(int page) const;
    // The lowest page not received yet, or -1 when all 15 are in.
    int MissingPage() const;
    bool IsComplete() const { return MissingPage() < 0; }
    // The 3840 bytes of the 15 pages in order; empty while a page is missing.
    TDataPack Image() const;

private:
    QVector<TDataPack> m_pages;
};
