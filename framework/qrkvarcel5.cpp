#include "qrkvarcel5.h"

#include "kvarcelresult.h"

#include "core/clock.h"
#include "reports/fixedtext.h"
#include "reports/report.h"
#include "reports/reportpainter.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

constexpr double lineHeight = 16;
// Advance of a DejaVu Sans Mono character: 0.602 em; a point is 96/72 report units.
constexpr double charWidthPerPoint = 0.602 * 96.0 / 72.0;

} // namespace

double Tqrkvarcel5::fontSize(int n)
{
    if (n <= 146)
        return 10;
    if (n < 180)
        return 8;
    if (n <= 194)
        return 7;
    if (n < 210)
        return 6;
    return 5;
}

std::unique_ptr<report::Report> Tqrkvarcel5::build(const ResultModel& model,
                                                   const ListReportHeader& header, QString* error)
{
    if (model.rowCount() == 0) {
        if (error)
            *error = u"Nincs mit nyomtatni."_s;
        return nullptr;
    }
    const std::vector<data::Column>& columns = model.columns();
    const std::vector<int> widths = reports::fixedWidths(columns);
    const QString heading = reports::fixedHeading(columns, widths);
    const int n = int(heading.trimmed().size());

    auto r = std::make_unique<report::Report>();
    r->page.orientation = landscape(n) ? QPageLayout::Landscape : QPageLayout::Portrait;
    r->printedAt = clock::now();
    const double width = r->page.sizeInUnits().width() - 2 * r->page.margin;
    // The characters must fit the paper: the font shrinks further when they would not.
    double points = fontSize(n);
    const int longest = int(heading.size()) + 4;
    points = std::min(points, std::floor(width / (longest * charWidthPerPoint) * 2) / 2);

    report::TextStyle titleStyle;
    titleStyle.pointSize = 12;
    titleStyle.bold = true;
    report::TextStyle small;
    small.pointSize = 8;
    report::TextStyle right = small;
    right.alignment = Qt::AlignRight | Qt::AlignVCenter;

    report::Band page;
    page.height = 78;
    const QString title = header.title.isEmpty() ? u"Saját összeállítású lista"_s : header.title;
    page.elements.push_back(report::Element::label({0, 0, width - 200, 22}, title, titleStyle));
    page.elements.push_back(
        report::Element::label({0, 24, width - 200, 16}, header.summary, small));
    page.elements.push_back(report::Element::label(
        {0, 42, width / 2, 16}, QFileInfo(header.fileName).completeBaseName(), small));
    page.elements.push_back(
        report::Element::label({0, 58, width / 2, 16}, u"Készítette: "_s + header.userName, small));
    page.elements.push_back(report::Element::system(
        {width - 200, 0, 200, 16}, report::SystemField::DateTime, u"Készült: "_s, right));
    page.elements.push_back(report::Element::system(
        {width - 200, 18, 200, 16}, report::SystemField::PageNumber, u"Lapszám: "_s, right));
    r->pageHeader = page;

    report::TextStyle mono;
    mono.fixedPitch = true;
    mono.pointSize = points;
    report::Band columnHeader;
    columnHeader.height = lineHeight + 4;
    report::TextStyle headingStyle = mono;
    headingStyle.bold = true;
    columnHeader.elements.push_back(
        report::Element::label({0, 0, width, lineHeight}, heading, headingStyle));
    r->columnHeader = columnHeader;

    // The rows are read by index so that a total line knows what follows it.
    auto row = std::make_shared<int>(-1);
    const ResultModel* m = &model;
    const int total = model.totalColumn();
    report::Band detail;
    detail.height = lineHeight;
    detail.elements.push_back(report::Element::label({0, 0, width, lineHeight}, {}, mono));
    detail.beforePrint = [m, row, widths, columns, total, header, mono](report::Band& band) {
        const int at = *row;
        const QString line =
            reports::fixedLine(columns, widths, [m, at](int c) { return m->value(at, c); });
        const bool isTotal = total >= 0 && m->isTotalRow(at);
        report::Element& e = band.elements.front();
        e.text = isTotal ? line + u" sor"_s : line;
        e.style = mono;
        if (isTotal && !header.totalsOnly) {
            e.style.bold = true;
            e.style.background = QColor(Qt::yellow);
        }
        band.pageBreakAfter =
            header.pagePerGroup && isTotal && at + 1 < m->rowCount() && !m->isTotalRow(at + 1);
    };
    r->detail = detail;
    r->next = [m, row] { return ++*row < m->rowCount(); };
    r->rewind = [row] { *row = -1; };
    return r;
}

bool Tqrkvarcel5::writePdf(const ResultModel& model, const ListReportHeader& header,
                           const QString& path, QString* error)
{
    const auto r = build(model, header, error);
    return r && report::writePdf(*r, path, error);
}

} // namespace mivo::kvarcel
