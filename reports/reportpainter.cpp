#include "reportpainter.h"

#include "platform/replacingfile.h"
#include "report.h"
#include "reportmeasure.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

namespace mivo::report
{

namespace
{

constexpr double unitsPerInch = 96.0;

class PainterSink : public PageSink
{
public:
    PainterSink(QPainter& painter, QPagedPaintDevice& device)
        : m_painter(painter), m_device(device), m_scale(device.logicalDpiX() / unitsPerInch)
    {
    }

    void beginPage(int number) override
    {
        if (number > 1)
            m_device.newPage();
    }

    void text(const QRectF& rect, const QString& text, const TextStyle& style) override
    {
        const QRectF r = scaled(rect);
        if (style.background.isValid())
            m_painter.fillRect(r, style.background);
        setFont(style);
        // Text wider than its place runs on rather than being lost.
        m_painter.drawText(r, int(style.alignment) | Qt::TextDontClip, text);
    }

    void image(const QRectF& rect, const QImage& image) override
    {
        m_painter.drawImage(scaled(rect), image);
    }

    void frame(const QRectF& rect) override
    {
        const QRectF r = scaled(rect);
        m_painter.setPen(QPen(Qt::black, m_scale));
        m_painter.setBrush(Qt::NoBrush);
        if (r.height() <= 0)
            m_painter.drawLine(r.topLeft(), r.topRight());
        else
            m_painter.drawRect(r);
    }

    void endPage() override {}

private:
    QRectF scaled(const QRectF& r) const
    {
        return {r.x() * m_scale, r.y() * m_scale, r.width() * m_scale, r.height() * m_scale};
    }

    void setFont(const TextStyle& style)
    {
        if (m_hasFont && style.pointSize == m_style.pointSize && style.bold == m_style.bold &&
            style.fixedPitch == m_style.fixedPitch)
            return;
        m_painter.setFont(fontFor(style));
        m_style = style;
        m_hasFont = true;
    }

    QPainter& m_painter;
    QPagedPaintDevice& m_device;
    double m_scale;
    TextStyle m_style;
    bool m_hasFont = false;
};

} // namespace

bool render(Report& report, QPagedPaintDevice& device, QString* error)
{
    device.setPageLayout(report.page.pageLayout());
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("A nyomtatás nem indítható.");
        return false;
    }
    PainterSink sink(painter, device);
    run(report, sink);
    return painter.end();
}

bool writePdf(Report& report, const QString& path, QString* error)
{
    data::ReplacingFile file(path);
    if (!file.prepare(error))
        return false;
    bool ok;
    {
        QPdfWriter writer(file.tempPath());
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Mivo"));
        ok = render(report, writer, error);
    }
    return ok && file.commit(error);
}

} // namespace mivo::report
