#include "reportmeasure.h"

#include "report.h"

#include <QFontMetricsF>
#include <QHash>
#include <QTextLayout>

#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace mivo::report
{

namespace
{

// Texts are measured in a pixel-sized font this many times larger than a report unit, so
// that the screen's resolution plays no part and rounding of glyph widths stays negligible.
constexpr double measureScale = 16;
// A line is filled only to this share of its width: the printed glyphs may come out a hair
// wider than measured.
constexpr double fillShare = 0.98;

struct Measure {
    QFont font;
    QFontMetricsF metrics;
    double lineHeight;
};

const Measure& measureFor(const TextStyle& style)
{
    // Reports use a handful of styles; the user-interface thread is the only caller.
    static QHash<QString, std::shared_ptr<Measure>> cache;
    const QString key = QString::number(style.pointSize) + (style.bold ? u'b' : u'-') +
                        (style.fixedPitch ? u'f' : u'-');
    auto found = cache.constFind(key);
    if (found != cache.constEnd())
        return **found;
    QFont font = fontFor(style);
    font.setPixelSize(int(std::lround(style.pointSize * 96.0 / 72.0 * measureScale)));
    const QFontMetricsF metrics(font);
    auto m = std::make_shared<Measure>(
        Measure{font, metrics, std::ceil(metrics.lineSpacing() / measureScale)});
    cache.insert(key, m);
    return *m;
}

} // namespace

QFont fontFor(const TextStyle& style)
{
    QFont font(style.fixedPitch ? u"DejaVu Sans Mono"_s : u"DejaVu Sans"_s);
    font.setStyleHint(style.fixedPitch ? QFont::Monospace : QFont::SansSerif);
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(style.pointSize);
    font.setBold(style.bold);
    return font;
}

double lineHeight(const TextStyle& style)
{
    return measureFor(style).lineHeight;
}

QStringList wrapText(const QString& text, double width, const TextStyle& style)
{
    const Measure& m = measureFor(style);
    const double limit = std::max(1.0, width * fillShare * measureScale);
    QStringList lines;
    const QStringList paragraphs = text.split(u'\n');
    const auto add = [&lines](QString line) {
        while (!line.isEmpty() && line.back().isSpace())
            line.chop(1);
        lines << line;
    };
    for (const QString& paragraph : paragraphs) {
        if (m.metrics.horizontalAdvance(paragraph) <= limit) {
            add(paragraph);
            continue;
        }
        QTextLayout layout(paragraph, m.font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(limit);
            add(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

} // namespace mivo::report
