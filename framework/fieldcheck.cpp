#include "fieldcheck.h"

#include "core/altproc.h"

#include <QRegularExpression>

namespace mivo::fieldcheck
{

namespace
{

const QDate taxEpoch(1867, 1, 1);

} // namespace

bool number(const QString& text, double* value)
{
    static const QRegularExpression shape(QStringLiteral("^-?(\\d+([.,]\\d*)?|[.,]\\d+)$"));
    const QString t = text.trimmed();
    if (!shape.match(t).hasMatch())
        return false;
    if (value)
        *value = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
    return true;
}

QString grossFromNet(double value)
{
    return QString::number(alt::roundHalfAway(value * 1.27));
}

QString product(double value, double multiplier)
{
    return alt::formatDecimal(value * multiplier);
}

QString taxPrefixFor(const QDate& birthDate)
{
    const qint64 days = taxEpoch.daysTo(birthDate) + 100000;
    return QLatin1Char('8') + QString::number(days).right(5);
}

QString birthDateOfTax(const QString& taxNumber)
{
    return alt::formatDate(taxEpoch.addDays(taxNumber.mid(1, 5).toInt()));
}

bool taxContradicts(const QString& taxNumber, const QDate& birthDate)
{
    return taxNumber.left(6) != taxPrefixFor(birthDate);
}

QString taxQuestion(const QString& taxNumber, const QString& birthDate, bool askDate)
{
    const QString expected = taxPrefixFor(alt::parseDate(birthDate)).mid(1);
    return QStringLiteral("FIGYELEM!!! Az adószám és a születési dátum egymásnak ellentmondó "
                          "adatot tartalmaz! ") +
           (askDate ? QStringLiteral("Jó a dátum?") : QStringLiteral("Jó az adószám?")) +
           QLatin1Char('\r') + birthDate + QStringLiteral(" -> 8") + expected +
           QStringLiteral("nnnn") + QLatin1Char(' ') + taxNumber + QLatin1Char('\r') + taxNumber +
           QStringLiteral(" -> ") + birthDateOfTax(taxNumber) + QLatin1Char(' ') + birthDate;
}

QString normaliseText(const QString& text)
{
    return alt::capitalizeWords(text.trimmed(), false);
}

} // namespace mivo::fieldcheck
