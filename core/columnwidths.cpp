#include "columnwidths.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <array>
#include <cmath>

namespace mivo
{

namespace
{

// A text's width as the sum of its characters' advances, those of the Latin letters kept
// after their first use: shaping every cell took longer than reading the rows. Kerning
// only narrows the Latin texts shown here, so the sum is never too small for them; the
// advances stay fractional, as rounding each would lose up to half a pixel per character.
class CharacterWidths
{
public:
    explicit CharacterWidths(const QFont& font) : m_metrics(font) { m_latin.fill(-1); }

    int operator()(const QString& text)
    {
        qreal width = 0;
        for (const QChar c : text) {
            if (c.unicode() >= m_latin.size()) {
                width += m_metrics.horizontalAdvance(c);
                continue;
            }
            qreal& advance = m_latin[c.unicode()];
            if (advance < 0)
                advance = m_metrics.horizontalAdvance(c);
            width += advance;
        }
        return int(std::ceil(width));
    }

private:
    QFontMetricsF m_metrics;
    // Basic Latin up to Latin Extended-A, where the Hungarian letters are.
    std::array<qreal, 0x180> m_latin;
};

} // namespace

void fitColumnsToText(QTableView* view)
{
    const QAbstractItemModel* model = view->model();
    if (!model)
        return;
    CharacterWidths cells(view->font());
    // Room for the cell's margins.
    const int cellMargin = cells(QStringLiteral("0"));
    for (int c = 0; c < model->columnCount(); ++c) {
        // One title per column: the header's own measure, with its margins and sort arrow.
        int width = view->horizontalHeader()->sectionSizeHint(c);
        for (int r = 0; r < model->rowCount(); ++r)
            width = std::max(width, cells(model->index(r, c).data().toString()) + cellMargin);
        view->setColumnWidth(c, width);
    }
}

} // namespace mivo
