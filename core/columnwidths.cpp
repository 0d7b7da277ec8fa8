#include "columnwidths.h"

#include <QHeaderView>
#include <QTableView>

#include <algorithm>

namespace mivo
{

void fitColumnsToText(QTableView* view)
{
    const QAbstractItemModel* model = view->model();
    if (!model)
        return;
    const QFontMetrics cells = view->fontMetrics();
    const QFontMetrics titles = view->horizontalHeader()->fontMetrics();
    // Room for the cell's margins and the header's sort arrow.
    const int cellMargin = cells.horizontalAdvance(u'0');
    const int titleMargin = titles.horizontalAdvance(u'0') * 2;
    for (int c = 0; c < model->columnCount(); ++c) {
        int width =
            titles.horizontalAdvance(model->headerData(c, Qt::Horizontal).toString()) + titleMargin;
        for (int r = 0; r < model->rowCount(); ++r)
            width = std::max(width, cells.horizontalAdvance(model->index(r, c).data().toString()) +
                                        cellMargin);
        view->setColumnWidth(c, width);
    }
}

} // namespace mivo
