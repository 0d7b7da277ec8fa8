#include "qrszotar.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "platform/rowsource.h"
#include "reportpainter.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cmath>

namespace mivo
{

namespace
{

constexpr int lineLimit = 210;
constexpr double logoHeight = 50;
constexpr double headerHeight = 56;
constexpr double spacingHeight = 10;
constexpr double footerHeight = 20;
constexpr double lineHeight = 17;
// Advance of a DejaVu Sans Mono character: 0.602 em; a point is 96/72 report units.
constexpr double charWidthPerPoint = 0.602 * 96.0 / 72.0;

report::Band lineBand(double height, double secondLineHeight, double width,
                      const report::TextStyle& style)
{
    report::Band band;
    band.height = height;
    band.elements.push_back(report::Element::label({0, 0, width, 20}, {}, style));
    band.elements.push_back(report::Element::label({0, 20, width, secondLineHeight}, {}, style));
    return band;
}

QImage logo()
{
    const QString file = Ini::instance().value(QStringLiteral("LOGO_KEP"));
    if (file.isEmpty() || !QFileInfo::exists(file))
        return {};
    return QImageReader(file).read();
}

} // namespace

std::pair<QString, QString> SzotarLayout::lineTexts(const QStringList& values) const
{
    QString first, second;
    for (size_t i = 0; i < slotWidths.size(); ++i)
        (lines[i] == 0 ? first : second) += values.value(qsizetype(i)).leftJustified(slotWidths[i]);
    return {first, second};
}

SzotarLayout layoutSzotar(const std::vector<data::Column>& columns)
{
    SzotarLayout layout;
    for (const data::Column& c : columns) {
        const int slot = std::max<int>(int(c.name.size()), c.displayWidth) + 2;
        const bool first = layout.heading1.size() + slot < lineLimit;
        layout.slotWidths.push_back(slot);
        layout.lines.push_back(first ? 0 : 1);
        (first ? layout.heading1 : layout.heading2) += c.name.leftJustified(slot);
    }
    if (!layout.heading2.isEmpty()) {
        layout.secondLineHeight = lineHeight;
        layout.headingHeight = 40;
    }
    const int n = int(layout.heading1.size());
    layout.landscape = n >= 100;
    layout.fontSize = n < 140 ? 10 : n < 180 ? 8 : 6;
    // Characters that do not fit the paper would be lost: the font shrinks to the width.
    report::PageSetup page;
    page.orientation = layout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    const double width = page.sizeInUnits().width() - 2 * page.margin;
    const int longest = std::max<int>(n, int(layout.heading2.size()));
    if (longest > 0)
        layout.fontSize =
            std::min(layout.fontSize, std::floor(width / (longest * charWidthPerPoint) * 2) / 2);
    return layout;
}

Tqr_szotar& Tqr_szotar::instance()
{
    static Tqr_szotar report;
    return report;
}

std::unique_ptr<report::Report> Tqr_szotar::build(QString* error)
{
    if (!m_rows) {
        if (error)
            *error = QStringLiteral("Nincs adat a listához.");
        return nullptr;
    }
    if (!m_rows->open(error))
        return nullptr;
    data::RowSource* rows = m_rows;
    const SzotarLayout layout = layoutSzotar(rows->columns());

    auto r = std::make_unique<report::Report>();
    r->page.orientation = layout.landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    r->printedAt = clock::now();
    const double width = r->page.sizeInUnits().width() - 2 * r->page.margin;

    report::Band header;
    header.height = headerHeight;
    double titleLeft = 0;
    const QImage picture = logo();
    if (!picture.isNull()) {
        const double logoWidth =
            std::round(logoHeight * picture.width() / std::max(1, picture.height()));
        header.elements.push_back(report::Element::picture({0, 0, logoWidth, logoHeight}, picture));
        titleLeft = logoWidth + 10;
    }
    report::TextStyle titleStyle;
    titleStyle.pointSize = 12;
    titleStyle.bold = true;
    header.elements.push_back(
        report::Element::label({titleLeft, 0, width - titleLeft - 220, 24}, m_title, titleStyle));
    report::TextStyle right;
    right.alignment = Qt::AlignRight | Qt::AlignVCenter;
    header.elements.push_back(report::Element::system({width - 220, 0, 220, 18},
                                                      report::SystemField::DateTime,
                                                      QStringLiteral("Készült: "), right));
    header.elements.push_back(report::Element::system({width - 220, 20, 220, 18},
                                                      report::SystemField::PageNumber,
                                                      QStringLiteral("Lapszám: "), right));
    report::Band spacing;
    spacing.height = spacingHeight;
    header.children.push_back(spacing);
    r->pageHeader = header;

    report::TextStyle slotStyle;
    slotStyle.fixedPitch = true;
    slotStyle.pointSize = layout.fontSize;
    report::Band heading =
        lineBand(layout.headingHeight, layout.secondLineHeight, width, slotStyle);
    heading.elements[0].text = layout.heading1;
    heading.elements[1].text = layout.heading2;
    r->columnHeader = heading;

    report::Band detail = lineBand(layout.headingHeight, layout.secondLineHeight, width, slotStyle);
    detail.beforePrint = [rows, layout](report::Band& band) {
        QStringList values;
        for (size_t c = 0; c < rows->columns().size(); ++c)
            values << data::displayText(rows->value(int(c)), rows->columns()[c].kind,
                                        QLatin1Char(','));
        const auto [first, second] = layout.lineTexts(values);
        band.elements[0].text = first;
        band.elements[1].text = second;
        band.height = second.trimmed().isEmpty() ? 20 : 38;
        band.elements[1].rect.setHeight(second.trimmed().isEmpty() ? 0 : lineHeight);
    };
    r->detail = detail;

    report::Band footer;
    footer.height = footerHeight;
    footer.elements.push_back(report::Element::label(
        {0, 0, width, footerHeight}, QStringLiteral("Nyomtatta: ") + Td::instance().userName));
    r->pageFooter = footer;

    r->next = [rows] { return rows->next(); };
    r->rewind = [rows] { rows->open(nullptr); };
    return r;
}

bool Tqr_szotar::writePdf(const QString& path, QString* error)
{
    const auto r = build(error);
    return r && report::writePdf(*r, path, error);
}

} // namespace mivo
