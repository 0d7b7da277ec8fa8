#include "qrtextnez.h"

#include "reports/reportmeasure.h"

#include <memory>

namespace mivo
{

std::unique_ptr<report::Report> TqrTextNez(const QStringList& lines)
{
    auto r = std::make_unique<report::Report>();
    r->page.orientation = QPageLayout::Portrait;
    report::TextStyle style;
    style.pointSize = 10;
    style.alignment = Qt::AlignLeft | Qt::AlignTop;
    const double width = r->page.sizeInUnits().width() - 2 * r->page.margin;
    auto printed = std::make_shared<QStringList>();
    for (const QString& line : lines)
        *printed << report::wrapText(line, width, style);
    auto at = std::make_shared<int>(-1);
    const double height = report::lineHeight(style);
    report::Band detail;
    detail.height = height;
    detail.elements.push_back(report::Element::label(QRectF(0, 0, width, height), {}, style));
    detail.beforePrint = [printed, at](report::Band& band) {
        band.elements[0].text = printed->value(*at);
    };
    r->detail = detail;
    r->next = [printed, at] { return ++*at < printed->size(); };
    r->rewind = [at] { *at = -1; };
    return r;
}

} // namespace mivo
