#include "rowlist.h"

#include <QHeaderView>
#include <QTableView>

namespace mivo
{

void setUpRowList(QTableView* view, const QString& name, QAbstractItemModel* model,
                  RowNumbers numbers)
{
    view->setObjectName(name);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->setVisible(numbers == RowNumbers::Shown);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->setWordWrap(false);
}

} // namespace mivo
