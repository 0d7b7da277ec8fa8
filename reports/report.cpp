#include "report.h"

namespace mivo::report
{

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
    void endPage() override {}
};

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
        startPage();
        std::vector<QString> keys(m_r.groups.size());
        bool any = false;
        while (m_r.next && m_r.next()) {
            size_t changed = m_r.groups.size();
            for (size_t g = 0; g < m_r.groups.size(); ++g) {
                const QString key = m_r.groups[g].key ? m_r.groups[g].key() : QString();
                if (changed == m_r.groups.size() && (!any || key != keys[g]))
                    changed = g;
                keys[g] = key;
            }
            if (any)
                for (size_t g = m_r.groups.size(); g-- > changed;)
                    print(m_r.groups[g].footer);
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
            draw(footer, m_size.height() - m_r.page.margin - footer.height);
        }
        m_sink.endPage();
    }

    // A band of the page frame: no page break.
    void place(Band& band)
    {
        if (band.beforePrint)
            band.beforePrint(band);
        if (band.height > 0) {
            draw(band, m_y);
            m_y += band.height;
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
            if ((m_breakPending || m_y + band.height > bottom()) && !m_fresh) {
                endPage();
                startPage();
            }
            m_breakPending = false;
            draw(band, m_y);
            m_y += band.height;
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

    void draw(const Band& band, double top)
    {
        const QPointF origin(m_r.page.margin, top);
        for (const Element& e : band.elements) {
            const QRectF rect = e.rect.translated(origin);
            switch (e.kind) {
            case Element::Kind::Text:
                m_sink.text(rect, e.text, e.style);
                break;
            case Element::Kind::System:
                m_sink.text(rect, systemText(e), e.style);
                break;
            case Element::Kind::Image:
                m_sink.image(rect, e.image);
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
