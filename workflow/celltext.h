#pragma once

#include <QString>

namespace mivo::workflow
{

/// Where a customer lives as the grid shows it: Budapest postal codes (beginning with "1")
/// give postal code + " Bp. " + street, any other place town + "," + street.
QString gridAddress(const QString& irszam, const QString& varos, const QString& utca);

/// The text of a planned job's cell: its activity code right-padded to three characters, a
/// space, "# " when the customer cancelled (lemondta "I"), then the address.
QString jobCellText(const QString& tervtev, const QString& lemondta, const QString& address);

/// Cell text of a technician absent for a reason with the given display name.
QString absenceCellText(const QString& reasonName);

/// The day before (days -1) or after (days +1) a "yyyy.mm.dd" date, as "yyyy.mm.dd";
/// empty when the text is no valid date.
QString shiftDay(const QString& date, int days);

/// Row 1 of a technician column: the date, a space and its Hungarian weekday name.
QString dayCaption(const QString& date);

} // namespace mivo::workflow
