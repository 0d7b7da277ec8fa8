#include "kvarcelcondition.h"

#include "kvarcelcatalogue.h"
#include "kvarcelperiod.h"

#include "platform/sqltext.h"

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

// Items whose values are codes kept in capitals.
const QStringList upperCaseItems = {
    u"SZEMID"_s,   u"BDOID"_s,   u"BKHID"_s,    u"LEVID"_s,        u"BEKIID"_s,
    u"ELOID"_s,    u"GYRKID"_s,  u"MNYID"_s,    u"ONYID"_s,        u"SZABID"_s,
    u"SZJAID"_s,   u"SZJATID"_s, u"SZEMNEME"_s, u"SZEMTERULET"_s,  u"BDOTERULET"_s,
    u"VELKELKU"_s, u"VKHKOD"_s,  u"BKHKTGH"_s,  u"SZEMSZAMFKOD"_s, u"BDOSZAMFKOD"_s};

const QString referenceItem = u"SZEMDATUM"_s;

// A typed number in SQL form, or a null string when it is none.
QString sqlNumber(QString text)
{
    text = text.trimmed().replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    text.toDouble(&ok);
    return ok ? text : QString();
}

} // namespace

const QList<ConditionOperator>& conditionOperators()
{
    static const QList<ConditionOperator> list{
        {u"=    (egyenlő)"_s, u"="_s},
        {u">    (nagyobb)"_s, u">"_s},
        {u">=  (nagyobb, vagy egyenlő)"_s, u">="_s},
        {u"<    (kisebb)"_s, u"<"_s},
        {u"<=  (kisebb, vagy egyenlő)"_s, u"<="_s},
        {u"<>  (nem egyenlő)"_s, u"<>"_s},
        {u"%t% (szöveget tartalmaz)"_s, u"%t%"_s},
        {u"%t   (szöveg vége)"_s, u"%t"_s},
        {u"t%   (szöveg kezdete)"_s, u"t%"_s},
        {u"[]    (tól - ig)"_s, u"[]"_s},
        {u"null (kitöltetlen)"_s, u"null"_s},
    };
    return list;
}

QString operatorOfEntry(const QString& entry)
{
    return entry.left(4).trimmed();
}

bool operatorAllowed(const QString& jomuvelet, const QString& op)
{
    if (jomuvelet.trimmed().isEmpty())
        return true;
    const QStringList allowed = jomuvelet.split(QLatin1Char(','));
    for (const QString& a : allowed)
        if (a.trimmed() == op)
            return true;
    return false;
}

int firstAllowedOperator(const QString& jomuvelet)
{
    const auto& ops = conditionOperators();
    for (int i = 0; i < ops.size(); ++i)
        if (operatorAllowed(jomuvelet, ops[i].op))
            return i;
    return 0;
}

bool isPatternOperator(const QString& op)
{
    return op == u"%t%"_s || op == u"%t"_s || op == u"t%"_s;
}

QString referenceDateMessage()
{
    return u"Dátum feltétel üres volt, ezért beírtam a mai napra. Ha mégsem kell, akkor "
           "törölje."_s;
}

bool fillReferenceDate(Catalogue& catalogue, const ListItem& item, bool kilepettekShown)
{
    if (!kilepettekShown || item.fulsorszam != 2 ||
        item.alias.compare(referenceItem, Qt::CaseInsensitive) == 0)
        return false;
    ListItem* date = catalogue.item(referenceItem);
    if (!date || !date->feltetel.isEmpty())
        return false;
    date->feltetel = u" = '%ma%'"_s;
    return true;
}

ConditionOutcome applyCondition(Catalogue& catalogue, int index, const QString& op,
                                const QString& value1, const QString& value2, bool numeric,
                                bool kilepettekShown)
{
    ConditionOutcome out;
    if (index < 0 || index >= int(catalogue.items().size()))
        return out;
    ListItem& item = catalogue.items()[size_t(index)];
    QString v1 = value1;
    QString v2 = value2;
    if (upperCaseItems.contains(item.alias.toUpper())) {
        v1 = v1.toUpper();
        v2 = v2.toUpper();
    }
    const bool pattern = isPatternOperator(op);
    if (!pattern) {
        v1 = v1.trimmed();
        v2 = v2.trimmed();
    }
    const QString empty = numeric ? u"0"_s : u" "_s;
    if (v1.isEmpty())
        v1 = empty;
    if (v2.isEmpty())
        v2 = empty;
    if (pattern && numeric) {
        out.message = u"Szám típusú adathoz ez a feltétel nem kérhetö."_s;
        return out;
    }
    if (!operatorAllowed(item.jomuvelet, op)) {
        out.message = u"Ehhez a mezöhöz csak "_s + item.jomuvelet + u" feltétel kérhetö."_s;
        out.closePanel = true;
        return out;
    }
    // A number goes into the statement as it is: anything else would make it fail.
    if (numeric && op != u"null"_s) {
        const QString n1 = sqlNumber(v1);
        const QString n2 = op == u"[]"_s ? sqlNumber(v2) : u"0"_s;
        if (n1.isNull() || n2.isNull()) {
            out.message = u"Nem jó szám."_s;
            return out;
        }
        v1 = n1;
        v2 = n2;
    }
    const auto quoted = [numeric](const QString& v) { return numeric ? v : db::literal(v); };
    QString piece;
    if (op == u"null"_s)
        piece = u" üres"_s;
    else if (op == u"%t%"_s)
        piece = u" like "_s + quoted(u"%"_s + v1 + u"%"_s);
    else if (op == u"t%"_s)
        piece = u" like "_s + quoted(v1 + u"%"_s);
    else if (op == u"%t"_s)
        piece = u" like "_s + quoted(u"%"_s + v1);
    else if (op == u"[]"_s)
        piece = u" between "_s + quoted(v1) + u" and "_s + quoted(v2);
    else
        piece = u" "_s + op + u" "_s + quoted(v1);

    if (!item.jomuvelet.trimmed().isEmpty() || item.feltetel.isEmpty())
        item.feltetel = piece;
    else
        item.feltetel += (op == u"<>"_s ? u" es "_s : u" vagy "_s) + piece;
    out.applied = true;
    out.closePanel = true;
    if (fillReferenceDate(catalogue, item, kilepettekShown)) {
        out.referenceDateFilled = true;
        out.message = referenceDateMessage();
    }
    return out;
}

QString toggleNegation(const QString& condition)
{
    if (condition.startsWith(u"NEM "_s, Qt::CaseInsensitive))
        return condition.mid(4);
    return u"NEM "_s + condition;
}

qsizetype indexOutsideQuotes(const QString& text, const QString& part)
{
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && QStringView(text).mid(i).startsWith(part))
            return i;
    }
    return -1;
}

QString replaceOutsideQuotes(const QString& text, const QString& from, const QString& to)
{
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == QLatin1Char('\'')) {
            quoted = !quoted;
            out += text[i++];
            continue;
        }
        if (!quoted && QStringView(text).mid(i).startsWith(from)) {
            out += to;
            i += from.size();
            continue;
        }
        out += text[i++];
    }
    return out;
}

QString translateCondition(const QString& condition, const QString& prefix, const QString& column,
                           const PeriodKeywords& keywords)
{
    const QString p = prefix.isEmpty() ? QString() : prefix + u"."_s;
    QString c = keywords.replace(condition);
    const bool joined =
        indexOutsideQuotes(c, u" es "_s) >= 0 || indexOutsideQuotes(c, u" vagy "_s) >= 0;
    QString out;
    const bool negated = c.startsWith(u"NEM "_s, Qt::CaseInsensitive);
    if (negated) {
        c.remove(0, 4);
        out = u"NOT ("_s;
    } else if (joined) {
        out = u"("_s;
    }
    c = replaceOutsideQuotes(c, u" vagy "_s, u" or "_s + p + column + u" "_s);
    c = replaceOutsideQuotes(c, u" es "_s, u" and "_s + p + column + u" "_s);
    c = replaceOutsideQuotes(c, u"üres"_s, u" is null "_s);
    out += p + column + u" "_s + c;
    if (joined || negated)
        out += u")"_s;
    return out;
}

QString equalsValue(const QString& condition, const PeriodKeywords& keywords)
{
    const QString c = condition.trimmed();
    if (!c.startsWith(QLatin1Char('=')))
        return {};
    const qsizetype first = c.indexOf(QLatin1Char('\''));
    if (first < 0)
        return keywords.replace(c.mid(1).trimmed());
    QString v = c.mid(first + 1);
    const qsizetype last = v.lastIndexOf(QLatin1Char('\''));
    if (last >= 0)
        v.truncate(last);
    return keywords.replace(v.replace(u"''"_s, u"'"_s));
}

QString valueListSql(const QString& column, const QString& table, const QString& typed,
                     bool textItem)
{
    QString sql = u"select distinct "_s + column + u" adat from "_s + table;
    if (textItem)
        sql += u" where "_s + column + u" like "_s + db::literal(typed + u"%"_s);
    return sql + u" Order by 1"_s;
}

bool isMonthItem(const ListItem& item)
{
    return item.alias.compare(u"BKH_HONAP"_s, Qt::CaseInsensitive) == 0 ||
           item.megnevezes.contains(u"(eeeehh)"_s);
}

QStringList valueListKeywords(const ListItem& item, const QString& today)
{
    if (item.alias.compare(referenceItem, Qt::CaseInsensitive) == 0)
        return {u"%ma%"_s,          u"%hoeleje%"_s,    u"%hovege%"_s, u"%akthovege%"_s,
                u"%zarthoeleje%"_s, u"%zarthovege%"_s, today};
    if (isMonthItem(item))
        return {u"%aktho%"_s,  u"%zartho%"_s,  u"%aktzartho%"_s,
                u"%januar%"_s, u"%multjan%"_s, u"%multdec%"_s};
    return {};
}

} // namespace mivo::kvarcel
