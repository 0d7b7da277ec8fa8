#include "reportpages.h"

namespace mivo::report
{

void PageModel::beginPage(int)
{
    m_pages.emplace_back();
}

void PageModel::text(const QRectF& rect, const QString& text, const TextStyle& style)
{
    m_pages.back().texts.push_back({rect, text, style});
}

void PageModel::image(const QRectF& rect, const QImage&)
{
    m_pages.back().images.push_back(rect);
}

void PageModel::frame(const QRectF& rect)
{
    m_pages.back().frames.push_back(rect);
}

QStringList PageModel::texts(int page) const
{
    QStringList result;
    for (const PlacedText& t : m_pages.at(size_t(page - 1)).texts)
        result << t.text;
    return result;
}

int PageModel::pageOf(const QString& part) const
{
    for (size_t p = 0; p < m_pages.size(); ++p)
        for (const PlacedText& t : m_pages[p].texts)
            if (t.text.contains(part))
                return int(p) + 1;
    return 0;
}

} // namespace mivo::report
