#include "fieldedit.h"

#include <QLineEdit>

#include <algorithm>

namespace mivo
{

QLineEdit* fieldEdit(const QString& name, int length, QWidget* parent, int widest)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(length);
    // Two more for the frame and the cursor.
    const int width = e->fontMetrics().horizontalAdvance(u'0') * (std::min(length, widest) + 2);
    if (length <= 10)
        e->setFixedWidth(width);
    else
        e->setMinimumWidth(width);
    return e;
}

} // namespace mivo
