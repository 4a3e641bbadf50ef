#include "config/ConfigPages_Unt.h"

TDataPack ConfigPages::WritePage(const TDataPack &image, int page)
{
    const TBasicProtocol protocol;
    return protocol.FillPage(protocol.SlicePack(image, page, PageSize), Filler);
}

TConfigPageBuffer::TConfigPageBuffer() : m_pages(ConfigPages::ReadPageCount) {}

void TConfigPageBuffer::Clear()
{
    m_pages = QVector<TDataPack>(ConfigPages::ReadPageCount);
}

bool TConfigPageBuffer::SetPage(int page, const TDataPack &payload)
{
    if (page < 0 || page >= ConfigPages::ReadPageCount || payload.size() != ConfigPages::PageSize)
        return false;
    m_pages[page] = payload;
    return true;
}

bool TConfigPageBuffer::HasPage(int page) const
{
    return page >= 0 && page < m_pages.size() && !m_pages.at(page).isEmpty();
}

int TConfigPageBuffer::MissingPage() const
{
    for (int page = 0; page < m_pages.size(); ++page) {
        if (m_pages.at(page).isEmpty())
            return page;
    }
    return -1;
}

TDataPack TConfigPageBuffer::Image() const
{
    if (!IsComplete())
        return {};
    TDataPack image;
    image.reserve(ConfigPages::ReadPageCount * ConfigPages::PageSize);
    for (const TDataPack &page : m_pages)
        image += page;
    return image;
}
