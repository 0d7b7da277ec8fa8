#pragma once

#include "platform/workbookwriter.h"

class QProgressBar;

namespace mivo::reports
{

/// Progress of a long write on a bar: range 1 to the row count, the value after every row,
/// pending user-interface events handled every 100 rows. No bar: no progress.
data::Progress progressOn(QProgressBar* bar);

} // namespace mivo::reports
