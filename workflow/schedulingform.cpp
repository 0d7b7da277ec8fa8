#include "schedulingform.h"

#include "napirendgrid.h"
#include "requestfields.h"

#include "core/altproc.h"
#include "core/dat.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

namespace mivo::workflow
{

SchedulingForm::SchedulingForm(ScheduleForm form, QWidget* parent)
    : QWidget(parent, Qt::Window), m_buttons(new QWidget(this)), m_fields(new RequestFields(this)),
      m_grid(new NapirendGrid(form, this))
{
    auto* bar = new QHBoxLayout(m_buttons);
    bar->setContentsMargins(2, 2, 2, 2);
    // Request editing arrives with the request-entry screens; until then these buttons are
    // shown as the form has them but cannot be chosen.
    for (const auto& [name, caption] : {std::pair{"b_ujadatlap", "Új &adatlap"},
                                        {"b_modosit", "&Módosítás"},
                                        {"b_kiosztorol", "&Kiosztás törlése"},
                                        {"b_tarol", "&Tárolás"},
                                        {"b_megsem", "Még&sem"},
                                        {"b_elozmeny", "&Előzménylista"}})
        addButton(QString::fromLatin1(name), QString::fromUtf8(caption))->setEnabled(false);
    connect(addButton(QStringLiteral("b_frissit"), QStringLiteral("&Frissítés")),
            &QPushButton::clicked, m_grid, &NapirendGrid::refreshAll);
    connect(addButton(QStringLiteral("b_vissza"), QStringLiteral("&Vissza")), &QPushButton::clicked,
            this, &QWidget::close);
    bar->addStretch();
}

QPushButton* SchedulingForm::addButton(const QString& name, const QString& caption)
{
    auto* b = new QPushButton(caption, m_buttons);
    b->setObjectName(name);
    m_buttons->layout()->addWidget(b);
    return b;
}

void SchedulingForm::prepare(const QString& mode)
{
    m_baseMode = mode;
    initialise();
}

void SchedulingForm::initialise()
{
    const Td& td = Td::instance();
    m_currentMode = m_baseMode;
    m_grid->setJobHistoryAvailable(td.jobHistoryAvailable);
    applyMode();
    m_fields->setEditing(false);
    m_grid->actions().setEditing(false);
    m_fields->reset();
    m_grid->build(td.ownCompany, alt::today());
}

void SchedulingForm::applyMode()
{
    const bool entry = m_baseMode == QLatin1String("U");
    findChild<QWidget*>(QStringLiteral("b_ujadatlap"))->setVisible(entry);
    findChild<QWidget*>(QStringLiteral("b_modosit"))->setVisible(!entry);
    m_fields->setWorkDescriptionVisible(m_baseMode == QLatin1String("Z") ||
                                        m_baseMode == QLatin1String("F"));
}

void SchedulingForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace mivo::workflow
