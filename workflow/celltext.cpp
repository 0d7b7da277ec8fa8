#include "celltext.h"

#include "core/altproc.h"

namespace mivo::workflow
{

QString gridAddress(const QString& irszam, const QString& varos, const QString& utca)
{
    if (irszam.startsWith(QLatin1Char('1')))
        return irszam + QStringLiteral(" Bp. ") + utca;
    return varos + QLatin1Char(',') + utca;
}

QString jobCellText(const QString& tervtev, const QString& lemondta, const QString& address)
{
    QString text = alt::padRight(tervtev, QLatin1Char(' '), 3) + QLatin1Char(' ');
    if (lemondta == QLatin1String("I"))
        text += QStringLiteral("# ");
    return text + address;
}

QString absenceCellText(const QString& reasonName)
{
    return QStringLiteral("* ") + reasonName;
}

QString shiftDay(const QString& date, int days)
{
    const QDate d = alt::parseDate(date);
    return d.isValid() ? alt::formatDate(d.addDays(days)) : QString();
}

QString dayCaption(const QString& date)
{
    return date + QLatin1Char(' ') + alt::weekdayName(alt::parseDate(date));
}

} // namespace mivo::workflow
