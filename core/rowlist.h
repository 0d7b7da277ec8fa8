#pragma once

class QAbstractItemModel;
class QString;
class QTableView;

namespace mivo
{

enum class RowNumbers { Hidden, Shown };

/// Makes the view the screens' read-only list: named, over the model, whole rows selected
/// one at a time, each row one text line high and not wrapped.
void setUpRowList(QTableView* view, const QString& name, QAbstractItemModel* model,
                  RowNumbers numbers = RowNumbers::Hidden);

} // namespace mivo
