#include "progress.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProgressBar>

namespace mivo::reports
{

data::Progress progressOn(QProgressBar* bar)
{
    if (!bar)
        return {};
    return [guarded = QPointer<QProgressBar>(bar)](qint64 done, qint64 total) {
        if (!guarded)
            return;
        if (done == 1 && total > 0)
            guarded->setRange(1, int(std::min<qint64>(total, INT_MAX)));
        guarded->setValue(int(std::min<qint64>(done, INT_MAX)));
        if (done % 100 == 0)
            QCoreApplication::processEvents();
    };
}

} // namespace mivo::reports
