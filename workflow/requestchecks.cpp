#include "requestchecks.h"

#include "core/altproc.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

std::optional<Refusal> checkFields(const Request& r, ScheduleForm form)
{
    if (!r.hasCustomer())
        return Refusal{u"Adjon meg ügyfelet!"_s, u"b_ugyfel"_s};
    if (r.tipusKod.isEmpty())
        return Refusal{u"Adjon meg készüléket!"_s, u"b_keszulek"_s};
    if (r.tevekenyseg.isEmpty())
        return Refusal{u"Válassza ki a munka jellegét!"_s, u"cb_tevekenys"_s};
    if (form == ScheduleForm::Entry && r.dedu.isEmpty())
        return Refusal{u"Adja meg a napszakot!"_s, u"cb_dedu"_s};
    // The request date becomes TERVD, which every list compares as text.
    if (r.datum.size() != 10 || !alt::validateDate(r.datum, false))
        return Refusal{u"Hibás dátum.\n"_s + r.datum, u"e_nap"_s};
    return std::nullopt;
}

std::optional<Refusal> checkCustomerCode(const Request& r)
{
    const bool setBack = r.currentMode == RequestMode::Move ||
                         (r.currentMode == RequestMode::Modify && r.slot.kind == Slot::External);
    if (setBack && r.customer.kod == 0)
        return Refusal{u"Az ügyfél kódja eltűnt! Nem tárolható!"_s, u"b_ugyfel"_s};
    return std::nullopt;
}

} // namespace mivo::workflow
