#pragma once

#include <QString>
#include <QStringList>

namespace mivo::kvarcel
{

class Catalogue;
class PeriodKeywords;
struct ListItem;

/// An entry of the condition panel's operator list and its operator.
struct ConditionOperator {
    QString entry; ///< "=    (egyenlő)"
    QString op;    ///< "=", "%t%", "[]", "null", ...
};

/// The eleven operators in the panel's order.
const QList<ConditionOperator>& conditionOperators();
/// The operator of an entry: its first four characters, trimmed.
QString operatorOfEntry(const QString& entry);
/// Whether JOMUVELET (operators separated by ",", empty = all) allows the operator.
bool operatorAllowed(const QString& jomuvelet, const QString& op);
/// Index in conditionOperators() of the item's first allowed operator (0 when all are).
int firstAllowedOperator(const QString& jomuvelet);
/// Whether the operator matches text patterns (contains, begins, ends with).
bool isPatternOperator(const QString& op);

/// What confirming the panel did.
struct ConditionOutcome {
    bool applied = false;             ///< the item's condition changed
    QString message;                  ///< the notice to show, when any
    bool closePanel = false;          ///< the panel closes (also when applied)
    bool referenceDateFilled = false; ///< SZEMDATUM got " = '%ma%'" (message set)
};

/// Confirms the panel ("&OK") for the item: upper-cases the values of the listed items,
/// trims, refuses patterns on numbers ("Szám típusú adathoz ez a feltétel nem kérhetö."),
/// non-numbers on numbers ("Nem jó szám.") and operators that JOMUVELET does not allow
/// (closing the panel), quotes text values as SQL literals and sets or extends the
/// condition (" es " after "<>", " vagy " otherwise; replaced when JOMUVELET is set).
ConditionOutcome applyCondition(Catalogue& catalogue, int index, const QString& op,
                                const QString& value1, const QString& value2, bool numeric,
                                bool kilepettekShown);

/// When the payroll options are shown and a tab-2 item other than SZEMDATUM gets a choice
/// while SZEMDATUM has no condition: SZEMDATUM gets " = '%ma%'". True when it did.
bool fillReferenceDate(Catalogue& catalogue, const ListItem& item, bool kilepettekShown);
/// The notice that fillReferenceDate gives.
QString referenceDateMessage();

/// "Feltétel ellentéte": adds or removes a leading "NEM ".
QString toggleNegation(const QString& condition);

/// A condition as an SQL predicate on prefix.column (TranslateCondition): keywords
/// replaced, " vagy " → " or " and " es " → " and " on the same column, "üres" → " is null ",
/// a leading "NEM " → "NOT (...)"; quoted text is left alone.
QString translateCondition(const QString& condition, const QString& prefix, const QString& column,
                           const PeriodKeywords& keywords);

/// The value of a condition "= 'x'": the text after its first quote without the closing
/// quote, keywords replaced; "" when the condition does not begin with "=".
QString equalsValue(const QString& condition, const PeriodKeywords& keywords);

/// The value-list statement of "...": distinct values of the column in the table,
/// narrowed to the typed beginning for text items.
QString valueListSql(const QString& column, const QString& table, const QString& typed,
                     bool textItem);
/// The keyword entries that head the value list of the item (month items, SZEMDATUM).
QStringList valueListKeywords(const ListItem& item, const QString& today);
/// Whether the item is a month item (alias BKH_HONAP or caption with "(eeeehh)").
bool isMonthItem(const ListItem& item);

/// The text with every occurrence of `from` outside single-quoted literals replaced.
QString replaceOutsideQuotes(const QString& text, const QString& from, const QString& to);
/// The position of `part` outside single-quoted literals, -1 when none.
qsizetype indexOutsideQuotes(const QString& text, const QString& part);

} // namespace mivo::kvarcel
