#pragma once

#include <QDate>
#include <QString>

namespace mivo::fieldcheck
{

/// A number as a field check accepts it: an optional leading "-", digits and at most one
/// decimal separator ("," or "."), with at least one digit. "-", "1,2,3" and "" are none.
bool number(const QString& text, double* value);

/// VALID 5: the number times 1.27, rounded to a whole number, as text.
QString grossFromNet(double value);
/// VALID 6: the product as a panel shows a number (decimal comma).
QString product(double value, double multiplier);

/// The first six characters a tax identification number must have for a birth date:
/// "8" and the last five digits of (days since 1867.01.01 + 100000).
QString taxPrefixFor(const QDate& birthDate);
/// The birth date that characters 2-6 of a tax number stand for, as "yyyy.mm.dd".
QString birthDateOfTax(const QString& taxNumber);
/// Whether the tax number contradicts the birth date (first six characters differ).
bool taxContradicts(const QString& taxNumber, const QDate& birthDate);
/// The question asked when they contradict; askDate words it for the date field.
QString taxQuestion(const QString& taxNumber, const QString& birthDate, bool askDate);

/// VALID 98/99: trimmed, the first character and every one after " -_.()" upper-cased.
QString normaliseText(const QString& text);

} // namespace mivo::fieldcheck
