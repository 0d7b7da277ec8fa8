#include "adatfelv2.h"

#include "napirendgrid.h"
#include "requestfields.h"

#include <QVBoxLayout>

namespace mivo::workflow
{

Tadatfelv2fm::Tadatfelv2fm(QWidget* parent) : SchedulingForm(ScheduleForm::Entry, parent)
{
    setObjectName(QStringLiteral("Tadatfelv2fm"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buttonBar());
    // The request area takes 40 % of the height, the grid panel what remains.
    layout->addWidget(requestFields(), 4);
    layout->addWidget(grid(), 6);
    setWindowState(Qt::WindowMaximized);
}

} // namespace mivo::workflow
