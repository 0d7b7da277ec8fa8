#pragma once

class QTableView;

namespace mivo
{

/// Sizes every column of the view to its title and the widest text it shows, measured with
/// the view's fonts: what resizeColumnsToContents() gives for plain text cells, without a
/// size hint from the item delegate for every cell, which costs more than reading the rows.
void fitColumnsToText(QTableView* view);

} // namespace mivo
