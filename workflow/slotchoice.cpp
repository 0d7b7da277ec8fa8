#include "slotchoice.h"

#include "napirend.h"

#include "core/altproc.h"
#include "core/messages.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

bool SlotChooser::pastDayRefused(const QString& date) const
{
    const bool checked = m_form == ScheduleForm::Jobs || !m_pastAllowed;
    if (checked && date < alt::today()) {
        messages::show(u"A dátum régi!"_s);
        return true;
    }
    return false;
}

bool SlotChooser::technicianWorks(int column, const QString& date)
{
    QString error;
    if (!m_grid.refreshColumn(column, date, &error)) {
        messages::showError(error);
        return false;
    }
    if (m_grid.isAbsent(column)) {
        messages::show(u"A szerelő aznap "_s +
                       m_grid.cellText(column, NapirendModel::firstHourRow).mid(2).left(40));
        return false;
    }
    return true;
}

bool SlotChooser::takeOver(const Request& r, int column, int row) const
{
    const bool sameTechnician = r.slot.technician == m_grid.technician(column).kod;
    const QString current = NapirendModel::hourLabel(r.slot.cell.row);
    if (sameTechnician && r.slot.cell.row == row)
        return true;
    // Another job's cell is never offered, whoever's column it is.
    const bool occupied =
        m_grid.jobCode(column, row) != 0 || !m_grid.cellText(column, row).isEmpty();
    if (!sameTechnician) {
        if (occupied)
            return false;
        return messages::confirm(u"A munka már ki van osztva "_s + r.szerelo + u" számára\n"_s +
                                 u"Inkább "_s + m_grid.header(column) + u" kapja?"_s);
    }
    if (occupied) {
        messages::show(u"Erre az időpontra már van munka kiosztva "_s + current + u" időpontra"_s);
        return false;
    }
    return messages::confirm(u"A munka már ki van osztva "_s + current + u" időpontra\n"_s +
                             u"Inkább "_s + NapirendModel::hourLabel(row) + u" legyen?"_s);
}

bool SlotChooser::choose(Request& r, int column, int row)
{
    if (!r.hasCustomer())
        return false;
    const QString date = m_grid.columnDate(column);
    if (pastDayRefused(date) || !technicianWorks(column, date))
        return false;
    if (r.slot.kind == Slot::Grid) {
        if (!takeOver(r, column, row))
            return false;
    } else if (!m_grid.cellText(column, row).isEmpty()) {
        return false;
    }
    r.slot = {Slot::Grid,
              {column, row},
              m_grid.technician(column).kod,
              date,
              NapirendModel::hourLabel(row)};
    r.szerelo = m_grid.header(column);
    r.datum = date;
    r.ora = r.slot.hour;
    r.kulsos = {};
    showPending(r);
    return true;
}

void SlotChooser::clear(Request& r)
{
    if (r.slot.kind != Slot::Grid)
        return;
    r.slot = {};
    r.ora.clear();
    r.szerelo.clear();
    r.kulsos = {};
    showPending(r);
}

void SlotChooser::chooseExternal(Request& r, const ExternalTechnician& technician)
{
    r.slot = {};
    r.slot.kind = Slot::External;
    r.kulsos = technician;
    r.szerelo.clear();
    r.ora.clear();
    showPending(r);
}

bool SlotChooser::confirmDay(Request& r)
{
    if (r.slot.kind != Slot::Grid || r.datum == r.slot.date)
        return true;
    const int column = m_grid.columnOf(r.slot.technician);
    if (pastDayRefused(r.datum))
        return false;
    if (column > 0 && !technicianWorks(column, r.datum))
        return false;
    r.slot.date = r.datum;
    showPending(r);
    return true;
}

void SlotChooser::showPending(const Request& r)
{
    if (r.slot.kind != Slot::Grid) {
        m_grid.setPending(std::nullopt);
        return;
    }
    m_grid.setPending(
        PendingCell{r.slot.technician, r.slot.date, r.slot.cell.row, pendingAddress(r.customer)});
}

} // namespace mivo::workflow
