#pragma once

#include "report.h"

#include <QStringList>

#include <vector>

namespace mivo::report
{

/// What a report put on each page: texts with their places, for tests and checks.
class PageModel : public PageSink
{
public:
    struct PlacedText {
        QRectF rect;
        QString text;
        TextStyle style;
    };

    void beginPage(int number) override;
    void text(const QRectF& rect, const QString& text, const TextStyle& style) override;
    void image(const QRectF& rect, const QImage& image) override;
    void frame(const QRectF& rect) override;
    void endPage() override {}

    int pageCount() const { return int(m_pages.size()); }
    /// The texts of a page (1-based), top to bottom in the order printed.
    QStringList texts(int page) const;
    const std::vector<PlacedText>& placed(int page) const
    {
        return m_pages.at(size_t(page - 1)).texts;
    }
    /// Where the pictures of a page went.
    const std::vector<QRectF>& images(int page) const
    {
        return m_pages.at(size_t(page - 1)).images;
    }
    /// Where the frames of a page went.
    const std::vector<QRectF>& frames(int page) const
    {
        return m_pages.at(size_t(page - 1)).frames;
    }
    /// The first page (1-based) with a text containing the part; 0 when none.
    int pageOf(const QString& part) const;

private:
    struct Page {
        std::vector<PlacedText> texts;
        std::vector<QRectF> images;
        std::vector<QRectF> frames;
    };
    std::vector<Page> m_pages;
};

} // namespace mivo::report
