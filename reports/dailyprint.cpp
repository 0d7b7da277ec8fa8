#include "dailyprint.h"

#include "qrmunkalap.h"
#include "qrnapilista.h"
#include "reportprint.h"

#include "core/dat.h"

namespace mivo::reports
{

void printDailyInstruction(const QString& technician, const QString& from, const QString& to,
                           const QString& title, QWidget* parent)
{
    const NapilistaLayout& layout = napilistaLayout(Td::instance().ownCompany);
    report::preview(
        [&](QString* error) { return buildNapilista(layout, technician, from, to, title, error); },
        parent);
}

void printJobSheets(int ugyfel, int keszulek, QWidget* parent)
{
    report::preview([&](QString* error) { return buildMunkalap(ugyfel, keszulek, error); }, parent);
}

} // namespace mivo::reports
