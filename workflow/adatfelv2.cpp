#include "adatfelv2.h"

#include "customerlists.h"
#include "napirendgrid.h"
#include "requestfields.h"

#include <QHBoxLayout>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

Tadatfelv2fm::Tadatfelv2fm(QWidget* parent) : SchedulingForm(ScheduleForm::Entry, parent)
{
    setObjectName(u"Tadatfelv2fm"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buttonBar());
    // The request area beside the customer's lists takes 40 % of the height, the grid panel
    // the rest.
    auto* top = new QHBoxLayout;
    top->addWidget(requestFields(), 3);
    top->addWidget(customerLists(), 2);
    layout->addLayout(top, 4);
    layout->addWidget(grid(), 6);
}

void Tadatfelv2fm::initialise()
{
    // Maximised also where no window manager honours the request.
    if (const QScreen* s = screen())
        setGeometry(s->availableGeometry());
    setWindowState(Qt::WindowMaximized);
    SchedulingForm::initialise();
}

} // namespace mivo::workflow
