#include "columnwidths.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <array>

namespace mivo
{

namespace
{

// A text's width as the sum of its characters' advances, those of the Latin letters kept
// after their first use: shaping every cell took longer than reading the rows. Kerning
// only narrows the Latin texts shown here, so the sum is never too small for them.
class CharacterWidths
{
public:
    explicit CharacterWidths(const QFontMetrics& metrics) : m_metrics(metrics) { m_latin.fill(-1); }

    int operator()(const QString& text)
    {
        int width = 0;
        for (const QChar c : text) {
            if (c.unicode() >= m_latin.size()) {
                width += m_metrics.horizontalAdvance(c);
                continue;
            }
            int& advance = m_latin[c.unicode()];
            if (advance < 0)
                advance = m_metrics.horizontalAdvance(c);
            width += advance;
        }
        return width;
    }

private:
    QFontMetrics m_metrics;
    // Basic Latin up to Latin Extended-A, where the Hungarian letters are.
    std::array<int, 0x180> m_latin;
};

} // namespace

void fitColumnsToText(QTableView* view)
{
    const QAbstractItemModel* model = view->model();
    if (!model)
        return;
    const QFontMetrics titles = view->horizontalHeader()->fontMetrics();
    CharacterWidths cells(view->fontMetrics());
    // Room for the cell's margins and the header's sort arrow.
    const int cellMargin = cells(QStringLiteral("0"));
    const int titleMargin = titles.horizontalAdvance(u'0') * 2;
    for (int c = 0; c < model->columnCount(); ++c) {
        int width =
            titles.horizontalAdvance(model->headerData(c, Qt::Horizontal).toString()) + titleMargin;
        for (int r = 0; r < model->rowCount(); ++r)
            width = std::max(width, cells(model->index(r, c).data().toString()) + cellMargin);
        view->setColumnWidth(c, width);
    }
}

} // namespace mivo
