#include "schedulingform.h"

#include "napirendgrid.h"
#include "requestfields.h"

#include "core/altproc.h"
#include "core/dat.h"

#include <QAction>

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

SchedulingForm::SchedulingForm(ScheduleForm form, QWidget* parent)
    : Screen(parent), m_fields(new RequestFields(this)), m_grid(new NapirendGrid(form, this))
{
    // Request editing arrives with the request-entry screens; until then these commands are
    // shown as the form has them but cannot be chosen.
    for (const auto& [name, caption] : {std::pair{"ujadatlap", "Új &adatlap"},
                                        {"modosit", "&Módosítás"},
                                        {"kiosztorol", "&Kiosztás törlése"},
                                        {"tarol", "&Tárolás"},
                                        {"megsem", "Még&sem"},
                                        {"elozmeny", "&Előzménylista"}}) {
        addCommandButton(QString::fromLatin1(name), QString::fromUtf8(caption), {});
        commands().command(QString::fromLatin1(name))->setEnabled(false);
    }
    addCommandButton(u"frissit"_s, u"&Frissítés"_s, [this] { m_grid->refreshAll(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();
}

void SchedulingForm::initialise()
{
    const Td& td = Td::instance();
    m_currentMode = mode();
    m_grid->setJobHistoryAvailable(td.jobHistoryAvailable);
    applyMode();
    setEditing(false);
    m_fields->reset();
    m_grid->build(td.ownCompany, alt::today());
}

void SchedulingForm::applyMode()
{
    const bool entry = mode() == "U"_L1;
    commands().command(u"ujadatlap"_s)->setVisible(entry);
    commands().command(u"modosit"_s)->setVisible(!entry);
    m_fields->setWorkDescriptionVisible(mode() == "Z"_L1 || mode() == "F"_L1);
}

void SchedulingForm::editingChanged(bool editing)
{
    m_fields->setEditing(editing);
    m_grid->actions().setEditing(editing);
}

} // namespace mivo::workflow
