#include "report.h"

#include "reportmeasure.h"

#include <algorithm>

namespace mivo::report
{

TextStyle topText(double pointSize, bool bold, bool wordWrap)
{
    TextStyle s;
    s.pointSize = pointSize;
    s.bold = bold;
    s.wordWrap = wordWrap;
    s.alignment = Qt::AlignLeft | Qt::AlignTop;
    return s;
}

namespace
{

constexpr double unitsPerInch = 96.0;
constexpr double mmPerInch = 25.4;

bool usesPageCount(const Band& band)
{
    for (const Element& e : band.elements)
        if (e.kind == Element::Kind::System && e.field == SystemField::PageCount)
            return true;
    for (const Band& child : band.children)
        if (usesPageCount(child))
            return true;
    return false;
}

bool usesPageCount(const Report& r)
{
    for (const auto* band :
         {&r.pageHeader, &r.title, &r.columnHeader, &r.detail, &r.summary, &r.pageFooter})
        if (*band && usesPageCount(**band))
            return true;
    for (const Group& g : r.groups)
        if (usesPageCount(g.header) || usesPageCount(g.footer))
            return true;
    for (const SubDetail& s : r.subDetails)
        if (usesPageCount(s.band))
            return true;
    return false;
}

class NullSink : public PageSink
{
public:
    void beginPage(int) override {}
    void text(const QRectF&, const QString&, const TextStyle&) override {}
    void image(const QRectF&, const QImage&) override {}
    void frame(const QRectF&) override {}
    void endPage() override {}
};

// A band as it prints this time: each element's place after the texts above it grew, and the
// lines of the wrapping texts.
struct LaidOut {
    struct Item {
        const Element* element;
        QRectF rect;
        QStringList lines; ///< empty: the text prints as one piece
    };
    std::vector<Item> items;
    double height = 0;
};

bool overlapsHorizontally(const QRectF& a, const QRectF& b)
{
    constexpr double eps = 0.01;
    return a.left() < b.right() - eps && b.left() < a.right() - eps;
}

// Wrapping texts grow downwards; what lies under a grown element (and overlaps it
// horizontally) moves down by as much, and the band grows by the largest move.
LaidOut layOut(const Band& band)
{
    LaidOut out;
    out.height = band.height;
    out.items.reserve(band.elements.size());
    std::vector<double> growth;
    bool grows = false;
    for (const Element& e : band.elements) {
        LaidOut::Item item{&e, e.rect, {}};
        double g = 0;
        if (e.kind == Element::Kind::Text && e.style.wordWrap) {
            item.lines = wrapText(e.text, e.rect.width(), e.style);
            if (item.lines.size() > 1)
                g = std::max(0.0, item.lines.size() * lineHeight(e.style) - e.rect.height());
            else
                item.lines.clear();
        }
        grows = grows || g > 0;
        growth.push_back(g);
        out.items.push_back(std::move(item));
    }
    if (!grows)
        return out;
    // Elements from the top down: each moves by the most that an element above it moved and
    // grew.
    std::vector<size_t> order(out.items.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return out.items[a].rect.top() < out.items[b].rect.top();
    });
    std::vector<double> shift(out.items.size(), 0);
    double extra = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        const size_t i = order[k];
        const QRectF& r = out.items[i].element->rect;
        for (size_t l = 0; l < k; ++l) {
            const size_t j = order[l];
            const QRectF& above = out.items[j].element->rect;
            if (above.bottom() <= r.top() + 0.01 && overlapsHorizontally(above, r))
                shift[i] = std::max(shift[i], shift[j] + growth[j]);
        }
        extra = std::max(extra, shift[i] + growth[i]);
    }
    for (size_t i = 0; i < out.items.size(); ++i) {
        QRectF& r = out.items[i].rect;
        r.translate(0, shift[i]);
        r.setHeight(r.height() + growth[i]);
    }
    out.height += extra;
    return out;
}

class Engine
{
public:
    Engine(Report& report, PageSink& sink, int pageCount)
        : m_r(report), m_sink(sink), m_pageCount(pageCount), m_size(report.page.sizeInUnits())
    {
    }

    int run()
    {
        if (m_r.rewind)
            m_r.rewind();
        bool row = m_r.next && m_r.next();
        startPage();
        std::vector<QString> keys(m_r.groups.size());
        bool any = false;
        for (; row; row = m_r.next()) {
            size_t changed = m_r.groups.size();
            for (size_t g = 0; g < m_r.groups.size(); ++g) {
                const QString key = m_r.groups[g].key ? m_r.groups[g].key() : QString();
                if (changed == m_r.groups.size() && (!any || key != keys[g]))
                    changed = g;
                keys[g] = key;
            }
            if (any) {
                for (size_t g = m_r.groups.size(); g-- > changed;)
                    print(m_r.groups[g].footer);
                const bool breaks =
                    std::any_of(m_r.groups.begin() + std::ptrdiff_t(changed), m_r.groups.end(),
                                [](const Group& g) { return g.newPage; });
                if (breaks && !m_fresh) {
                    endPage();
                    startPage();
                }
            }
            for (size_t g = changed; g < m_r.groups.size(); ++g)
                print(m_r.groups[g].header);
            any = true;
            if (m_r.detail)
                print(*m_r.detail);
            for (SubDetail& sub : m_r.subDetails) {
                if (sub.start)
                    sub.start();
                while (sub.next && sub.next())
                    print(sub.band);
            }
        }
        if (any)
            for (size_t g = m_r.groups.size(); g-- > 0;)
                print(m_r.groups[g].footer);
        if (m_r.summary)
            print(*m_r.summary);
        endPage();
        return m_page;
    }

private:
    double bottom() const
    {
        return m_size.height() - m_r.page.margin - (m_r.pageFooter ? m_r.pageFooter->height : 0);
    }

    void startPage()
    {
        m_sink.beginPage(++m_page);
        m_y = m_r.page.margin;
        m_fresh = true;
        if (m_r.pageHeader)
            place(*m_r.pageHeader);
        if (m_page == 1 && m_r.title)
            place(*m_r.title);
        if (m_r.columnHeader)
            place(*m_r.columnHeader);
        m_fresh = true;
    }

    void endPage()
    {
        if (m_r.pageFooter) {
            Band& footer = *m_r.pageFooter;
            if (footer.beforePrint)
                footer.beforePrint(footer);
            draw(layOut(footer), m_size.height() - m_r.page.margin - footer.height);
        }
        m_sink.endPage();
    }

    // A band of the page frame: no page break.
    void place(Band& band)
    {
        if (band.beforePrint)
            band.beforePrint(band);
        if (band.height > 0) {
            const LaidOut laid = layOut(band);
            draw(laid, m_y);
            m_y += laid.height;
        }
        for (Band& child : band.children)
            place(child);
    }

    // A band of the body: a new page when it does not fit (unless the page is still empty).
    void print(Band& band)
    {
        if (band.beforePrint)
            band.beforePrint(band);
        if (band.height > 0) {
            const LaidOut laid = layOut(band);
            if ((m_breakPending || m_y + laid.height > bottom()) && !m_fresh) {
                endPage();
                startPage();
            }
            m_breakPending = false;
            draw(laid, m_y);
            m_y += laid.height;
            m_fresh = false;
        }
        for (Band& child : band.children)
            print(child);
        // Deferred to the next band, so that the last record leaves no empty page behind.
        if (band.pageBreakAfter)
            m_breakPending = true;
    }

    QString systemText(const Element& e) const
    {
        switch (e.field) {
        case SystemField::PageNumber:
            return e.text + QString::number(m_page);
        case SystemField::PageCount:
            return e.text + QString::number(m_pageCount);
        case SystemField::Date:
            return e.text + m_r.printedAt.toString(QStringLiteral("yyyy.MM.dd"));
        case SystemField::Time:
            return e.text + m_r.printedAt.toString(QStringLiteral("hh:mm:ss"));
        case SystemField::DateTime:
            return e.text + m_r.printedAt.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss"));
        }
        return e.text;
    }

    void draw(const LaidOut& band, double top)
    {
        const QPointF origin(m_r.page.margin, top);
        for (const LaidOut::Item& item : band.items) {
            const Element& e = *item.element;
            const QRectF rect = item.rect.translated(origin);
            switch (e.kind) {
            case Element::Kind::Text:
                if (item.lines.isEmpty()) {
                    m_sink.text(rect, e.text, e.style);
                    break;
                }
                {
                    const double h = lineHeight(e.style);
                    for (qsizetype i = 0; i < item.lines.size(); ++i)
                        m_sink.text({rect.x(), rect.y() + double(i) * h, rect.width(), h},
                                    item.lines[i], e.style);
                }
                break;
            case Element::Kind::System:
                m_sink.text(rect, systemText(e), e.style);
                break;
            case Element::Kind::Image:
                m_sink.image(rect, e.image);
                break;
            case Element::Kind::Frame:
                m_sink.frame(rect);
                break;
            }
        }
    }

    Report& m_r;
    PageSink& m_sink;
    int m_pageCount;
    QSizeF m_size;
    int m_page = 0;
    double m_y = 0;
    bool m_fresh = true;
    bool m_breakPending = false;
};

} // namespace

Element Element::label(const QRectF& rect, const QString& text, const TextStyle& style)
{
    Element e;
    e.rect = rect;
    e.text = text;
    e.style = style;
    return e;
}

Element Element::system(const QRectF& rect, SystemField field, const QString& prefix,
                        const TextStyle& style)
{
    Element e = label(rect, prefix, style);
    e.kind = Kind::System;
    e.field = field;
    return e;
}

Element Element::frame(const QRectF& rect)
{
    Element e;
    e.kind = Kind::Frame;
    e.rect = rect;
    return e;
}

Element Element::picture(const QRectF& rect, const QImage& image)
{
    Element e;
    e.kind = Kind::Image;
    e.rect = rect;
    e.image = image;
    return e;
}

QSizeF PageSetup::sizeInUnits() const
{
    QSizeF mm = QPageSize(size).size(QPageSize::Millimeter);
    if (orientation == QPageLayout::Landscape)
        mm.transpose();
    return mm * (unitsPerInch / mmPerInch);
}

QPageLayout PageSetup::pageLayout() const
{
    return QPageLayout(QPageSize(size), orientation, QMarginsF(0, 0, 0, 0));
}

int run(Report& report, PageSink& sink)
{
    int pageCount = 0;
    if (usesPageCount(report)) {
        NullSink counter;
        pageCount = Engine(report, counter, 0).run();
    }
    return Engine(report, sink, pageCount).run();
}

} // namespace mivo::report
