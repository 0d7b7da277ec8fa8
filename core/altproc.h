#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace mivo::alt
{

// Dates are texts "yyyy.mm.dd"; some screens keep the compact "yyyymmdd". The routines
// accept both and give back the form they received. "    .  .  " (an empty date mask)
// counts as empty.

/// Today as "yyyy.mm.dd" (from the program clock).
QString today();
/// Whether the text is empty or the blank mask image.
bool isBlankDate(const QString& text);
/// Validates a date text of 6 ("yyyymm"), 7 ("yyyy.mm"), 8 ("yyyymmdd") or 10 ("yyyy.mm.dd")
/// characters. When invalid and showMessage is set: "Hibás dátum." + line break + the text.
bool validateDate(const QString& text, bool showMessage);
/// The date by position (year 1-4, month 6-7, day 9-10 of the normalised text); invalid
/// QDate when it is none.
QDate parseDate(const QString& text);
/// A QDate as "yyyy.mm.dd".
QString formatDate(const QDate& date);
/// "yyyy.mm" / "yyyymm" plus n months, in the input's form.
QString addMonths(const QString& yearMonth, int months);
/// The last day of the month of "yyyy.mm" / "yyyymm" as "yyyy.mm.dd".
QString monthEnd(const QString& yearMonth);
/// "yyyymmdd" → "yyyy.mm.dd".
QString compactToDotted(const QString& compact);
/// Hungarian weekday name ("hétfő" … "vasárnap") and month name ("január" …), whatever the
/// system locale is.
QString weekdayName(const QDate& date);
QString monthName(int month);

// Strings

QString zeroPad(const QString& text, int length);
QString padRight(const QString& text, QChar fill, int length);
QString padLeft(const QString& text, QChar fill, int length);
QString ensureTrailing(const QString& text, const QString& separator);
int countChar(const QString& text, QChar c);
/// 1-based position of the last occurrence of part in text (positions length-len(part)+1
/// down to 2 are tried); 0 when none.
int lastOccurrence(const QString& part, const QString& text);
/// 1-based position of the last character of the n-th occurrence; 0 when none.
int endOfOccurrence(const QString& part, const QString& text, int n);
/// The character after value in the cycle ("IN": "I" → "N" → "I"), else the cycle's first.
QString nextInCycle(const QString& value, const QString& cycle);
QString capitalizeWords(const QString& text, bool lowerRest);
/// Accents folded to ASCII as the other programs' files need them; unknown characters "A".
QString foldAccents(const QString& text);
/// prefix + text without blanks, accents folded, "/" and "\" as "_", + "_yymmddhhnnsszzz".
QString stampedFileName(const QString& text, const QString& prefix);
/// "a,b" → "'a','b'" (apostrophes inside elements doubled).
QString quotedList(const QString& text);
/// "a,b," → "('a','b')" (apostrophes inside elements doubled); empty stays empty.
QString sqlInList(const QString& text);
/// Index of the first entry equal to (or, when not whole, containing) the text, compared
/// from the 1-based start column, upper-cased unless case-sensitive; -1 when none.
int findInList(const QString& text, const QStringList& list, bool caseSensitive, int startColumn,
               bool whole);
/// The value beside the field name (case-insensitive) in the picked row's lists; "" when absent.
QString pickedValue(const QString& field, const QStringList& names, const QStringList& values);
bool anyCharIn(const QString& text, const QString& set);
/// Null or empty → ""; strings as they are; numbers in their usual decimal form, with the
/// full stop that SQL text and other programs' files need (formatDecimal is for the screen).
QString variantText(const QVariant& value);

// Numbers

/// Digits after one optional leading "-" (and, unless integerOnly, decimal commas or points);
/// "" is none, a lone "-" is one.
bool isNumber(const QString& text, bool integerOnly);
/// Trimmed; empty and a lone "-" → 0; not an integer (or too large) → -1.
int parseInteger(const QString& text);
/// Half away from zero; the fraction is compared with 0.5 in single precision, so that
/// 1.005 × 100 still rounds up. Out-of-range values saturate.
qint64 roundHalfAway(double value);
double roundTo(int decimals, double value);
/// "1,5E3" → 1500; a negative exponent gives 0, so does a text without a mantissa.
double fromExponentForm(const QString& text);
/// Number typed with a decimal comma (or point); ok false when it is none.
double parseDecimal(const QString& text, bool* ok);
/// A number as users read it: decimal comma, no exponent.
QString formatDecimal(double value, int decimals = -1);

// Spreadsheet columns

/// 0 → "A" … 25 → "Z", 26 → "AA" … 389 → "NZ"; "" outside.
QString columnLetters(int index);
/// "A" → 0, "AA" → 26 (trimmed, any case); -1 for anything but one or two letters.
int columnIndex(const QString& letters);
/// One or two letters moved by n columns ("Z" + 1 → "AA"); "" beyond "A" … "ZZ".
QString shiftColumn(const QString& letters, int n);

// Identity numbers

bool validTaxNumber(const QString& text);
bool validSocialSecurityNumber(const QString& text);

// Other

/// Hungarian label of a generic editor mode ("browse" → "böngész", ...).
QString modeName(const QString& mode);
/// The higher of two dot-separated version texts; equal → a.
QString higherVersion(const QString& a, const QString& b);
/// Copies a file; on failure "A fájl átmásolása nem sikerült. Hibakód=" + code.
bool copyFile(const QString& source, const QString& target, bool failIfExists);

/// Rights check: "X" (any case) is met by nobody; rights holding "W" meet everything else;
/// an empty (or blank) requirement or holder string is always met; otherwise one shared
/// letter is enough.
bool rightsMet(const QString& requirement, const QString& rights);

} // namespace mivo::alt
