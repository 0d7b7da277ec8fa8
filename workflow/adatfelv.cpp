#include "adatfelv.h"

#include "napirendgrid.h"
#include "requestfields.h"

#include <QTableView>
#include <QVBoxLayout>

namespace mivo::workflow
{

Tadatfelvfm::Tadatfelvfm(QWidget* parent)
    : SchedulingForm(ScheduleForm::Jobs, parent), m_jobList(new QTableView(this))
{
    setObjectName(QStringLiteral("Tadatfelvfm"));
    m_jobList->setObjectName(QStringLiteral("grid_park"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buttonBar());
    layout->addWidget(requestFields());
    layout->addWidget(grid(), 3);
    layout->addWidget(m_jobList, 1);
    resize(1024, 900);
}

} // namespace mivo::workflow
