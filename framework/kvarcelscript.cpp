#include "kvarcelscript.h"

#include "kvarcelcondition.h"

#include "core/altproc.h"
#include "platform/dbquery.h"
#include "platform/sqltext.h"

#include <QRegularExpression>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

const QString outerMark = u"(+)"_s;

// The alias padded with "_" to four characters: the prefix of its key columns.
QString pad4(const QString& alias)
{
    return alias.leftJustified(4, QLatin1Char('_'));
}

// Letters, digits and "_" only: names built from user input must stay identifiers.
QString identifierPart(const QString& text)
{
    QString out;
    for (const QChar c : text) {
        const QString folded = c.isLetter() ? alt::foldAccents(QString(c)) : QString(c);
        const QChar f = folded.isEmpty() ? QLatin1Char('_') : folded.front();
        const bool ascii = f.unicode() < 128 && (f.isLetterOrNumber() || f == QLatin1Char('_'));
        out += ascii ? f : QLatin1Char('_');
    }
    return out;
}

QString quoted(const QString& text)
{
    return u"'"_s + text + u"'"_s;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One key of a TJOINS.KULCS text: its column and its type annotation.
struct KeyPart {
    QString column;
    QString code;
};

std::vector<KeyPart> keyParts(const QString& kulcs)
{
    std::vector<KeyPart> parts;
    static const QRegularExpression separators(u"[+;]"_s);
    for (const QString& piece : kulcs.split(separators, Qt::SkipEmptyParts)) {
        KeyPart p;
        const qsizetype open = piece.indexOf(QLatin1Char('('));
        p.column = (open < 0 ? piece : piece.left(open)).trimmed().toUpper();
        if (open >= 0)
            p.code = piece.mid(open + 1).section(QLatin1Char(')'), 0, 0).trimmed().toUpper();
        if (!p.column.isEmpty())
            parts.push_back(p);
    }
    return parts;
}

// The column type of a key without an item, from its annotation.
QString keyAnnotationType(const QString& code)
{
    if (code.isEmpty())
        return u" varchar(50)"_s;
    if (isTextType(code))
        return u" varchar("_s + QString::number(std::max(1, textLength(code))) + u")"_s;
    if (code == u"N"_s)
        return u" float"_s;
    if (isNumericType(code))
        return u" integer"_s;
    return u" varchar(50)"_s;
}

// A column of the result table.
struct ResultColumn {
    QString name;
    QString sqlType;
    QString code; ///< type code; empty for keys without an item
    QString value;
    bool key = false;
    bool numeric = false;
    int length = 0; ///< characters of a text column
    const ListItem* item = nullptr;
};

// A table of the join paths.
struct Source {
    QString table; ///< the real table, later the restricted view standing in for it
    QString realTable;
    QString alias;
    const JoinRow* row = nullptr;
    bool outer = false;
    bool forcedInner = false;
    QString predicate;
    QStringList restrictions;
};

class Writer
{
public:
    void line(const QString& text) { m_lines << text; }
    QStringList& lines() { return m_lines; }

private:
    QStringList m_lines;
};

QString filler(const ResultColumn& c)
{
    return c.numeric ? u"0"_s : u"' '"_s;
}

// The length of a text item's computed value: a month is "M" and the month's characters, a
// slice 100 characters, a date 10; the column's own length when the value is the column.
int expressionLength(const QString& muvelet, int columnLength)
{
    const QString m = muvelet.trimmed().toUpper();
    if (m == u"MET"_s)
        return std::min(columnLength, 7) + 1;
    if (m == u"MED"_s)
        return std::min(columnLength, 6) + 1;
    if (m == u"MDT"_s || m == u"MDD"_s)
        return 3;
    if (m == u"WOD"_s)
        return 3;
    if (m == u"DAT"_s)
        return 10;
    static const QRegularExpression slice(u"^C[1-9]H$"_s);
    if (slice.match(m).hasMatch())
        return 100;
    return columnLength;
}

} // namespace

QString resultColumnType(const QString& code)
{
    if (isTextType(code))
        return u" varchar("_s + QString::number(std::max(1, textLength(code))) + u")"_s;
    if (isNumericType(code))
        return code.startsWith(u"NI"_s, Qt::CaseInsensitive) ? u" INTEGER"_s : u" FLOAT"_s;
    return u" varchar(50)"_s;
}

QString ScriptGenerator::userPart(const QString& userName)
{
    return identifierPart(userName.trimmed().left(9));
}

QString ScriptGenerator::substr(const QString& dialect, const QString& x, int start, int length)
{
    if (dialect == u"I"_s)
        return u"SUBSTRING("_s + x + u" FROM "_s + QString::number(start) + u" FOR "_s +
               QString::number(length) + u")"_s;
    if (dialect == u"O"_s)
        return u"substr("_s + x + u","_s + QString::number(start) + u","_s +
               QString::number(length) + u")"_s;
    if (start == 1)
        return u"left("_s + x + u","_s + QString::number(length) + u")"_s;
    return u"right(left("_s + x + u","_s + QString::number(start + length - 1) + u"),"_s +
           QString::number(length) + u")"_s;
}

ScriptGenerator::Probe ScriptGenerator::probeOn(const QString& connection)
{
    return [connection](const QString& sql, std::vector<data::Column>* columns, QString* error) {
        db::Query q(connection);
        q.setParamCheck(false);
        q.setSql(sql);
        if (!q.exec()) {
            if (error)
                *error = q.lastError();
            return false;
        }
        *columns = data::columnsOf(q.record());
        return true;
    };
}

bool ScriptGenerator::detectItemType(const QString& alias, const QString& column,
                                     const QString& catalogueType, const QString& dialect,
                                     const std::vector<JoinRow>& joins, QString* type,
                                     QString* error)
{
    if (!catalogueType.isEmpty() && !catalogueType.startsWith(QLatin1Char('*')) &&
        dialect == u"O"_s) {
        *type = catalogueType;
        return true;
    }
    if (column.trimmed().isEmpty()) {
        *type = catalogueType.startsWith(QLatin1Char('*')) ? catalogueType.mid(1) : catalogueType;
        return true;
    }
    const QString key = alias.toUpper() + QLatin1Char('.') + column.toUpper();
    if (const auto cached = m_types.find(key); cached != m_types.end()) {
        *type = cached->second;
        return true;
    }
    QString table = alias;
    for (const JoinRow& r : joins)
        if (sameName(r.alias, alias))
            table = r.tabla;
    std::vector<data::Column> columns;
    if (!m_probe(u"select "_s + column + u" from "_s + table + u" where 1=2"_s, &columns, error))
        return false;
    QString code = u"X"_s;
    if (!columns.empty()) {
        const data::Column& c = columns.front();
        switch (c.kind) {
        case data::FieldKind::Text:
            code = c.length >= 1000 ? u"C999"_s : u"C"_s + QString::number(std::max(1, c.length));
            break;
        case data::FieldKind::Memo:
            code = u"C999"_s;
            break;
        case data::FieldKind::SmallInt:
        case data::FieldKind::Integer:
        case data::FieldKind::LargeInt:
            code = u"NI"_s;
            break;
        case data::FieldKind::Float:
        case data::FieldKind::Decimal:
            code = u"N"_s;
            break;
        default:
            break;
        }
    }
    m_types[key] = code;
    *type = code;
    return true;
}

QString ScriptGenerator::columnExpression(const QString& muvelet, const QString& alias,
                                          const QString& column, const QString& tolig,
                                          const QString& dialect)
{
    const QString m = muvelet.trimmed().toUpper();
    const QString x = alias.isEmpty() ? column : alias + u"."_s + column;
    const QString op = dialect == u"M"_s ? u"+"_s : u"||"_s;
    const bool leftRight = dialect == u"M"_s || dialect == u"P"_s;
    if (m == u"I"_s)
        return column;
    if (m == u"T_I"_s)
        return tolig.trimmed();
    if (m == u"P60"_s)
        return u"SUM("_s + x + u")/60"_s;
    if (m == u"DAT"_s) {
        // Firebird has no TO_CHAR: the date is put together from its parts.
        if (dialect == u"I"_s)
            return u"EXTRACT(YEAR FROM CURRENT_DATE)||'.'||"
                   "LPAD(EXTRACT(MONTH FROM CURRENT_DATE),2,'0')||'.'||"
                   "LPAD(EXTRACT(DAY FROM CURRENT_DATE),2,'0')"_s;
        return u"TO_CHAR(SYSDATE,'yyyy.mm.dd')"_s;
    }
    if (m == u"MDT"_s)
        return leftRight ? u"'M'+right(left("_s + x + u",7),2)"_s
                         : u"'M'"_s + op + substr(dialect, x, 6, 2);
    if (m == u"MDD"_s)
        return leftRight ? u"'M'+right(left("_s + x + u",6),2)"_s
                         : u"'M'"_s + op + substr(dialect, x, 5, 2);
    if (m == u"MET"_s)
        return leftRight ? u"'M'+left("_s + x + u",7)"_s : u"'M'"_s + op + substr(dialect, x, 1, 7);
    if (m == u"MED"_s)
        return leftRight ? u"'M'+left("_s + x + u",6)"_s : u"'M'"_s + op + substr(dialect, x, 1, 6);
    if (m == u"WOD"_s) {
        if (dialect == u"O"_s)
            return u"'W'"_s + op + u"decode(to_char("_s + x + u",'iw'),'01',decode(to_char("_s + x +
                   u",'mm'),'12','53','01'),to_char("_s + x + u",'iw'))"_s;
        return u"'W?"
               "?'"_s;
    }
    static const QRegularExpression slice(u"^C([1-9])H$"_s);
    if (const auto match = slice.match(m); match.hasMatch()) {
        const int n = match.captured(1).toInt();
        if (dialect == u"O"_s)
            return u"SUBSTR("_s + x + u","_s + QString::number(100 * (n - 1) + 1) + u",100)"_s;
        if (dialect == u"I"_s)
            return substr(dialect, x, 100 * (n - 1) + 1, 100);
        if (n == 1)
            return u"left("_s + x + u",100)"_s;
        return u"right(left("_s + x + u","_s + QString::number(100 * n) + u"),100)"_s;
    }
    if (m == u"X"_s)
        return x;
    return muvelet.trimmed() + u"("_s + x + u")"_s;
}

QString ScriptGenerator::kulcskeres(const QString& kulcs, const QString& alias,
                                    const Catalogue& catalogue, const std::vector<JoinRow>& joins)
{
    const std::vector<KeyPart> parts = keyParts(kulcs);
    if (parts.empty())
        return {};
    QStringList carried;
    if (kulcs.contains(QLatin1Char(';'))) {
        for (const KeyPart& p : parts)
            carried << p.column;
        return carried.join(QLatin1Char('+'));
    }
    carried << parts.front().column;
    const auto aliasTakesPart = [&](const QString& a) {
        return std::any_of(
            catalogue.items().begin(), catalogue.items().end(),
            [&](const ListItem& i) { return sameName(i.tabla, a) && i.takesPart(); });
    };
    for (size_t k = 1; k < parts.size(); ++k) {
        const QString& column = parts[k].column;
        const ListItem* item = catalogue.item(pad4(alias) + column);
        bool carry = !item || item->takesPart();
        if (!carry)
            carry = std::any_of(joins.begin(), joins.end(), [&](const JoinRow& j) {
                return sameName(j.alias2, alias) && aliasTakesPart(j.alias) &&
                       j.tjoin.contains(alias + u"."_s + column, Qt::CaseInsensitive);
            });
        if (carry)
            carried << column;
    }
    return carried.join(QLatin1Char('+'));
}

QString ScriptGenerator::referenceDate(const Catalogue& catalogue, const PeriodKeywords& keywords,
                                       bool yearEnd)
{
    if (yearEnd) {
        if (const ListItem* year = catalogue.item(u"SZABEV"_s)) {
            const QString v = equalsValue(year->feltetel, keywords);
            if (!v.isEmpty())
                return v.left(4) + u".12.31"_s;
        }
    }
    if (const ListItem* date = catalogue.item(u"SZEMDATUM"_s)) {
        const QString v = equalsValue(date->feltetel, keywords);
        if (!v.isEmpty())
            return v;
    }
    return alt::today();
}

GeneratedScript ScriptGenerator::generate(const Catalogue& catalogue,
                                          const std::vector<JoinRow>& joins,
                                          const GeneratorSettings& s)
{
    GeneratedScript out;
    const QString d =
        s.dialect.trimmed().isEmpty() ? u"O"_s : s.dialect.trimmed().left(1).toUpper();
    const QString op = d == u"M"_s ? u"+"_s : u"||"_s;
    const QString user = userPart(s.userName);
    const QString stamp = s.now.toString(u"yyyyMMddhhmmsszzz"_s);
    const QString name = u"TMP"_s + user + stamp;
    const ListOptions& o = s.options;
    const bool beridoOn = o.beridoShown && o.berido;
    const PeriodKeywords& kw = s.keywords;
    const QChar fillChar = s.z9order.size() >= 2 ? s.z9order.at(1) : QLatin1Char('9');

    const auto joinOf = [&](const QString& alias) -> const JoinRow* {
        for (const JoinRow& r : joins)
            if (sameName(r.alias, alias))
                return &r;
        return nullptr;
    };
    const auto levelOf = [&](const QString& alias) {
        const JoinRow* r = joinOf(alias);
        return r ? r->szint : 1;
    };
    QString error;
    std::map<QString, QString> typeCache;
    const auto typeOf = [&](const ListItem& item, QString* code) {
        const auto it = typeCache.find(item.alias.toUpper());
        if (it != typeCache.end()) {
            *code = it->second;
            return true;
        }
        if (!detectItemType(item.tabla, item.mezo, item.tipus, d, joins, code, &error))
            return false;
        // A computed text needs the room of its value, not of the column it comes from.
        if (isTextType(*code) && !item.muvelet.isEmpty())
            *code = u"C"_s + QString::number(expressionLength(item.muvelet, textLength(*code)));
        typeCache[item.alias.toUpper()] = *code;
        return true;
    };
    const auto failed = [&](const QString& text) {
        out.lines.clear();
        out.failure = text;
        out.resultTable.clear();
        out.restrictedSources.clear();
        return out;
    };

    // 1. Names and inputs
    QStringList involved;
    int minLevel = INT_MAX;
    bool personKeyed = false;
    std::vector<const ListItem*> listed, sorted, grouped;
    QStringList allZero;
    QStringList summedNames;
    std::map<QString, QString> monthConditions;
    for (const ListItem& item : catalogue.items()) {
        if (!item.takesPart())
            continue;
        if (!std::any_of(involved.begin(), involved.end(),
                         [&](const QString& a) { return sameName(a, item.tabla); })) {
            involved << item.tabla;
            minLevel = std::min(minLevel, levelOf(item.tabla));
            if (const JoinRow* r = joinOf(item.tabla))
                for (const KeyPart& k : keyParts(r->kulcs))
                    personKeyed = personKeyed || k.column == u"ID"_s;
        }
        QString code;
        if (!typeOf(item, &code))
            return failed(error);
        if (!item.kell.isEmpty())
            listed.push_back(&item);
        if (!item.rendez.isEmpty())
            sorted.push_back(&item);
        if (!item.csoport.isEmpty() && isTextType(code))
            grouped.push_back(&item);
        if (isNumericType(code)) {
            allZero << item.alias + u"<>0"_s;
            summedNames << item.alias;
        }
        static const QStringList months = {u"BKH_HONAP"_s, u"BERTHONAP"_s, u"ELO_HONAP"_s,
                                           u"ELH_HONAP"_s, u"CAF_HONAP"_s};
        if (beridoOn && months.contains(item.alias.toUpper()) && !item.feltetel.isEmpty())
            monthConditions[item.alias.toUpper()] =
                translateCondition(item.feltetel, {}, u"HONAP"_s, kw);
    }
    const auto byMark = [](Mark mark) {
        return [mark](const ListItem* a, const ListItem* b) {
            return Catalogue::markOf(*a, mark) < Catalogue::markOf(*b, mark);
        };
    };
    std::stable_sort(listed.begin(), listed.end(), byMark(Mark::Kell));
    std::stable_sort(sorted.begin(), sorted.end(), byMark(Mark::Rendez));
    std::stable_sort(grouped.begin(), grouped.end(), byMark(Mark::Csoport));
    if (listed.empty()) {
        out.nothingListed = true;
        return failed(u"Nem választott ki semmit..."_s);
    }

    // 2. Employment table
    bool beki = false;
    if (personKeyed && o.kilepettekShown) {
        if (o.kilepettek) {
            out.conditionsSummary = u"kilépettek is. "_s;
        } else {
            beki = true;
            if (!involved.contains(u"BEKI"_s, Qt::CaseInsensitive)) {
                involved << u"BEKI"_s;
                minLevel = std::min(minLevel, levelOf(u"BEKI"_s));
            }
        }
    }

    // 3. Join tree
    std::vector<Source> sources;
    const auto addSource = [&](const QString& alias) {
        for (const Source& src : sources)
            if (sameName(src.alias, alias))
                return;
        Source src;
        src.row = joinOf(alias);
        src.alias = src.row ? src.row->alias : alias;
        src.realTable = src.row ? src.row->tabla : alias;
        src.table = src.realTable;
        sources.push_back(src);
    };
    for (const QString& a : involved)
        addSource(a);
    QStringList current = involved;
    QString root;
    for (int level = minLevel; level >= 1; --level) {
        QStringList next;
        for (QString a : current) {
            const JoinRow* r = joinOf(a);
            while (r && r->szint > level) {
                const JoinRow* parent = joinOf(r->alias2);
                if (!parent)
                    break;
                a = parent->alias;
                addSource(a);
                r = parent;
            }
            if (!std::any_of(next.begin(), next.end(),
                             [&](const QString& n) { return sameName(n, a); }))
                next << a;
        }
        current = next;
        if (current.size() == 1) {
            root = current.front();
            break;
        }
    }
    if (root.isEmpty())
        return failed(u"HIBA. Össze nem kapcsolható táblákból probált adatokat lekérni.  ("_s +
                      current.join(QLatin1Char(',')) + u")"_s);
    const auto sourceOf = [&](const QString& alias) -> Source* {
        for (Source& src : sources)
            if (sameName(src.alias, alias))
                return &src;
        return nullptr;
    };
    const auto hasCondition = [&](const QString& alias) {
        return std::any_of(
            catalogue.items().begin(), catalogue.items().end(),
            [&](const ListItem& i) { return sameName(i.tabla, alias) && !i.feltetel.isEmpty(); });
    };

    // 4. Inner or outer
    for (Source& src : sources) {
        if (sameName(src.alias, root) || !src.row)
            continue;
        src.predicate = src.row->tjoin.toUpper();
        src.forcedInner = hasCondition(src.alias) || (beki && sameName(src.alias, u"BEKI"_s));
        src.outer = src.predicate.contains(outerMark) && !o.inner && !src.forcedInner;
    }
    for (Source& src : sources) {
        if (!src.forcedInner)
            continue;
        for (const JoinRow* r = src.row ? joinOf(src.row->alias2) : nullptr; r;
             r = joinOf(r->alias2)) {
            if (Source* ancestor = sourceOf(r->alias))
                ancestor->outer = false;
            if (sameName(r->alias, root))
                break;
        }
    }
    const auto wherePredicate = [&](const Source& src) {
        QString p = src.predicate;
        const bool keep = d == u"O"_s && (src.outer || sameName(src.alias, u"BKH"_s));
        if (!keep)
            p.remove(outerMark);
        return p;
    };

    // 5. Columns and restrictions
    std::vector<ResultColumn> keys, itemColumns;
    const auto columnExists = [&](const QString& column) {
        const auto same = [&](const ResultColumn& c) { return sameName(c.name, column); };
        return std::any_of(keys.begin(), keys.end(), same) ||
               std::any_of(itemColumns.begin(), itemColumns.end(), same);
    };
    std::map<QString, QStringList> keysOfSource;
    for (const Source& src : sources) {
        const QString kulcs = src.row ? src.row->kulcs : QString();
        const std::vector<KeyPart> annotated = keyParts(kulcs);
        const QStringList carried = kulcskeres(kulcs, src.alias, catalogue, joins)
                                        .split(QLatin1Char('+'), Qt::SkipEmptyParts);
        keysOfSource[src.alias.toUpper()] = carried;
        for (const QString& k : carried) {
            ResultColumn c;
            c.name = pad4(src.alias) + k;
            if (columnExists(c.name))
                continue;
            c.key = true;
            c.item = catalogue.item(c.name);
            QString code;
            if (c.item) {
                if (!typeOf(*c.item, &code))
                    return failed(error);
                c.code = code;
                c.sqlType = resultColumnType(code);
                c.numeric = isNumericType(code);
                c.length = textLength(code);
            } else {
                for (const KeyPart& p : annotated)
                    if (p.column == k)
                        code = p.code;
                c.sqlType = keyAnnotationType(code);
                c.numeric = isNumericType(code);
                c.length = isTextType(code) ? textLength(code) : c.numeric ? 0 : 50;
            }
            if (beridoOn && k == u"HONAP"_s && !sameName(src.alias, u"SEU"_s))
                c.value = u"'F'"_s;
            else if (c.item && !c.item->muvelet.isEmpty() && !c.numeric)
                c.value = columnExpression(c.item->muvelet, c.item->tabla, c.item->mezo,
                                           c.item->tolig, d);
            else
                c.value = src.alias + u"."_s + k;
            keys.push_back(c);
        }
    }
    for (const ListItem& item : catalogue.items()) {
        if (!item.takesPart() || columnExists(item.alias))
            continue;
        ResultColumn c;
        c.name = item.alias;
        c.item = &item;
        typeOf(item, &c.code);
        c.sqlType = resultColumnType(c.code);
        c.numeric = isNumericType(c.code);
        c.length = isTextType(c.code) ? textLength(c.code) : c.numeric ? 0 : 50;
        if (c.numeric && !item.muvelet.isEmpty()) {
            if (d == u"P"_s)
                c.value = c.code.startsWith(u"NI"_s, Qt::CaseInsensitive) ? u"cast(0 as integer)"_s
                                                                          : u"cast(0 as float)"_s;
            else
                c.value = u"0"_s;
        } else if (!item.muvelet.isEmpty()) {
            c.value = columnExpression(item.muvelet, item.tabla, item.mezo, item.tolig, d);
        } else if (item.mezo.isEmpty()) {
            // An item without a column only supplies values to others.
            c.value = filler(c);
        } else {
            c.value = item.tabla + u"."_s + item.mezo;
        }
        itemColumns.push_back(c);
    }
    const auto isKeyColumn = [&](const QString& column) {
        return std::any_of(keys.begin(), keys.end(),
                           [&](const ResultColumn& c) { return sameName(c.name, column); });
    };

    QStringList resultPredicates;
    std::map<QString, QStringList> itemRestrictions;
    for (const ListItem& item : catalogue.items()) {
        if (item.feltetel.isEmpty())
            continue;
        if (!out.conditionsSummary.isEmpty() && out.conditionsSummary != u"kilépettek is. "_s)
            out.conditionsSummary += u" ;"_s;
        out.conditionsSummary += item.fejlec + u":"_s + kw.replace(item.feltetel);
        if (item.mezo.isEmpty())
            continue;
        QString code;
        typeOf(item, &code);
        if (isNumericType(code) && !isKeyColumn(item.alias))
            resultPredicates << translateCondition(item.feltetel, name, item.alias, kw);
        else
            itemRestrictions[item.tabla.toUpper()] << translateCondition(
                item.feltetel, item.muvelet.isEmpty() ? item.tabla : QString(), item.mezo, kw);
    }
    const QString conditionDate = referenceDate(catalogue, kw, false);
    const QString reference = conditionDate;
    for (Source& src : sources) {
        if (src.row && !src.row->idowhere.isEmpty()) {
            QString w = src.row->idowhere;
            if (w.contains(u"%1"_s)) {
                const ListItem* driver = catalogue.item(src.row->idomezo);
                const QString v = driver ? equalsValue(driver->feltetel, kw) : QString();
                if (driver && driver->feltetel.trimmed().startsWith(QLatin1Char('=')))
                    src.restrictions << w.replace(u"%1"_s, v);
            } else {
                src.restrictions << w;
            }
        }
        if (src.row && !src.row->tfilter.isEmpty()) {
            const QString f = src.row->tfilter;
            QString rest = f;
            for (int m = 1; m <= 9; ++m)
                rest.remove(u"%"_s + QString::number(m));
            if (!rest.trimmed().isEmpty())
                src.restrictions << rest.trimmed();
            const QString& a = src.alias;
            if (f.contains(u"%1"_s) && !s.irnokmh.isEmpty())
                src.restrictions << a +
                                        u".ID in (select id from valt_munkahely a where "
                                        u"tol=(select max(tol) from "
                                        "valt_munkahely b where a.id=b.id and b.tol<='"_s +
                                        conditionDate + u"') and kod in ("_s +
                                        alt::quotedList(s.irnokmh) + u") )"_s;
            if (f.contains(u"%2"_s) && !s.irnokalk.isEmpty())
                src.restrictions << a + u".ID in (select id from szem where ALKALMAZOT="_s +
                                        db::literal(s.irnokalk) + u" or ALKALMAZOT is null)"_s;
            if (f.contains(u"%3"_s) && s.irnokwl == u"B"_s)
                src.restrictions
                    << a +
                           u".ID in (select id from valt_wlbl a where tol=(select max(tol) from "
                           "valt_wlbl b where a.id=b.id and b.tol<='"_s +
                           conditionDate +
                           u"') and (kod like 'B%' or kod between 'J00' and 'J07'))"_s;
            if (f.contains(u"%4"_s) && !s.teruletek.isEmpty())
                src.restrictions << a + u".ID in (select id from szem where terulet in ("_s +
                                        alt::quotedList(s.teruletek) + u") or terulet is null)"_s;
            if (f.contains(u"%5"_s) && !s.fonoke.isEmpty())
                src.restrictions << a + u".ID in (select id from szem where fonoke in ("_s +
                                        alt::quotedList(s.fonoke) +
                                        u") or fonoke is null or id in ("_s +
                                        alt::quotedList(s.sajatID) + u"))"_s;
            if (f.contains(u"%6"_s) && !s.fonoke.isEmpty())
                src.restrictions << u"not "_s + a + u".ID like 'E%' "_s;
        }
        src.restrictions << itemRestrictions[src.alias.toUpper()];
        if (beki && sameName(src.alias, u"BEKI"_s)) {
            const QString kilep = d == u"O"_s || d == u"I"_s ? substr(d, u"beki.kilep"_s, 1, 1)
                                                             : u"left(beki.kilep,1)"_s;
            src.restrictions
                << u"BEKI.BELEP=(Select MAX(BELEP) From "_s + src.realTable +
                       u" B Where B.ID=BEKI.ID AND B.BELEP<='"_s + reference +
                       u"') and (beki.belep is not null) and (beki.kilep is null or "_s + kilep +
                       u"=' ' or beki.kilep>='"_s + reference + u"')"_s;
        }
    }

    // 6. Result table and restricted sources
    Writer w;
    std::vector<ResultColumn> columns = keys;
    columns.insert(columns.end(), itemColumns.begin(), itemColumns.end());
    int sumWidth = 1;
    for (const ListItem* g : grouped) {
        QString code;
        typeOf(*g, &code);
        sumWidth += textLength(code);
    }
    const auto createTable = [&](const QString& table) {
        w.line(u"Create Table "_s + table + u"("_s);
        for (size_t i = 0; i < columns.size(); ++i)
            w.line((i == 0 ? u"  "_s : u", "_s) + columns[i].name + columns[i].sqlType);
        w.line(u", SUM_JEL1 varchar(1)"_s);
        w.line(u",  SUM_JEL varchar("_s + QString::number(sumWidth) + u")"_s);
        w.line(u", OSSZESEN FLOAT"_s);
        w.line(u", SUM_FO FLOAT"_s);
        w.line(u", SEGED1 FLOAT"_s);
        w.line(u", SEGED2 FLOAT"_s);
        w.line(u");"_s);
    };
    createTable(name);
    const auto restrictionLines = [&](const QStringList& restrictions) {
        for (int i = 0; i < restrictions.size(); ++i)
            w.line((i == 0 ? u"     ("_s : u" and ("_s) + restrictions[i] + u")"_s);
    };
    for (Source& src : sources) {
        if (src.restrictions.isEmpty())
            continue;
        const QString suffix = u"_"_s + identifierPart(src.alias);
        QString view = u"TMP"_s + user + stamp;
        const qsizetype over = view.size() + suffix.size() - 30;
        if (over > 0)
            view.chop(std::min(over, stamp.size()));
        view += suffix;
        if (d != u"P"_s) {
            w.line(u"CREATE VIEW "_s + view + u" as select * from "_s + src.table + u" "_s +
                   src.alias);
            w.line(u"Where"_s);
            restrictionLines(src.restrictions);
            w.line(u";"_s);
        } else {
            std::vector<data::Column> fields;
            if (!m_probe(u"select * from "_s + src.table + u" "_s + src.alias + u" where 1=2"_s,
                         &fields, &error))
                return failed(error);
            w.line(u"CREATE TABLE "_s + view + u"("_s);
            for (size_t i = 0; i < fields.size(); ++i) {
                const data::Column& f = fields[i];
                QString type;
                if (data::isInteger(f.kind))
                    type = u"Integer"_s;
                else if (f.kind == data::FieldKind::Float || f.kind == data::FieldKind::Decimal)
                    type = u"Float"_s;
                else
                    type = u"Varchar("_s + QString::number(std::max(f.length, f.displayWidth)) +
                           u")"_s;
                w.line((i == 0 ? u"  "_s : u", "_s) + f.name + u" "_s + type);
            }
            w.line(u");"_s);
            w.line(u"Insert Into "_s + view);
            w.line(u"Select * from "_s + src.table + u" "_s + src.alias);
            w.line(u"Where"_s);
            restrictionLines(src.restrictions);
            w.line(u";"_s);
        }
        out.restrictedSources << view;
        src.table = view;
    }

    // 7. Main insert
    QStringList names;
    for (const ResultColumn& c : columns)
        names << c.name;
    w.line(u"Insert into "_s + name + u" ("_s + names.join(QLatin1Char(',')) +
           u") select DISTINCT "_s);
    for (size_t i = 0; i < columns.size(); ++i)
        w.line((i == 0 ? u" "_s : u","_s) + columns[i].value + u" "_s + columns[i].name);
    w.line(u"From"_s);
    QString separator = u" "_s;
    const auto sourceLine = [&](const QString& text) {
        w.line(separator + u" "_s + text);
        separator = u","_s;
    };
    const bool leftJoins = d != u"O"_s;
    if (leftJoins) {
        // Each table that is not outer-joined heads a chain of its outer-joined descendants,
        // parents before children, so that every ON clause sees both of its tables.
        std::vector<const Source*> written;
        std::function<void(const QString&)> chain = [&](const QString& parent) {
            for (const Source& child : sources)
                if (child.outer && child.row && sameName(child.row->alias2, parent)) {
                    QString on = child.row->tjoin.toUpper();
                    on.remove(outerMark);
                    w.line(u" LEFT OUTER JOIN "_s + child.table + u" "_s + child.alias +
                           u" on ("_s + on + u")"_s);
                    written.push_back(&child);
                    chain(child.alias);
                }
        };
        for (const Source& src : sources) {
            if (src.outer)
                continue;
            sourceLine(src.table + u" "_s + src.alias);
            chain(src.alias);
        }
        // Outer-joined tables whose parent is not on the paths hang on the row's TABLA2.
        for (const Source& src : sources) {
            if (!src.outer || std::find(written.begin(), written.end(), &src) != written.end())
                continue;
            QString on = src.row->tjoin.toUpper();
            on.remove(outerMark);
            sourceLine(src.row->tabla2 + u" "_s + src.row->alias2);
            w.line(u" LEFT OUTER JOIN "_s + src.table + u" "_s + src.alias + u" on ("_s + on +
                   u")"_s);
            written.push_back(&src);
            chain(src.alias);
        }
    } else {
        for (const Source& src : sources)
            sourceLine(src.table + u" "_s + src.alias);
    }
    QStringList predicates;
    for (const Source& src : sources) {
        if (sameName(src.alias, root) || !src.row || src.predicate.isEmpty())
            continue;
        if (leftJoins && src.outer)
            continue;
        predicates << wherePredicate(src);
    }
    for (int i = 0; i < predicates.size(); ++i) {
        if (i == 0)
            w.line(u"Where"_s);
        w.line((i == 0 ? u"     ("_s : u" and ("_s) + predicates[i] + u")"_s);
    }
    w.line(u";"_s);

    // 8. Computed columns
    const auto matchLines = [&](const QStringList& preds) {
        for (int i = 0; i < preds.size(); ++i)
            w.line(u"          "_s + (i == 0 ? u"     ("_s : u" and ("_s) + preds[i] + u")"_s);
    };
    static const QStringList monthItemOf = {u"BKH"_s, u"BKH_HONAP"_s, u"BERT"_s, u"BERTHONAP"_s,
                                            u"ELO"_s, u"ELO_HONAP"_s, u"ELH"_s,  u"ELH_HONAP"_s,
                                            u"CAF"_s, u"CAF_HONAP"_s};
    const auto monthMatch = [&](const QString& alias) -> QString {
        const qsizetype at = monthItemOf.indexOf(alias.toUpper());
        if (at >= 0 && at % 2 == 0) {
            const auto own = monthConditions.find(monthItemOf[at + 1]);
            if (own != monthConditions.end())
                return alias + u"."_s + own->second;
        }
        for (int i = 1; i < monthItemOf.size(); i += 2)
            if (const auto c = monthConditions.find(monthItemOf[i]); c != monthConditions.end())
                return alias + u"."_s + c->second;
        return {};
    };
    for (const ResultColumn& c : itemColumns) {
        if (!c.numeric || !c.item || c.item->muvelet.isEmpty())
            continue;
        const ListItem& item = *c.item;
        const QString m = item.muvelet.trimmed().toUpper();
        if (m == u"SZABI"_s)
            continue;
        QString alias = item.tabla;
        if (m == u"X"_s && item.mezo.contains(QLatin1Char('.')))
            alias = item.mezo.section(QLatin1Char('.'), 0, 0).trimmed();
        const Source* src = sourceOf(alias);
        const QString table = src ? src->table : (joinOf(alias) ? joinOf(alias)->tabla : alias);
        w.line(u"Update "_s + name + u" set "_s + item.alias + u"="_s);
        w.line(u"  ( "_s);
        if (m.startsWith(u"COUNT"_s))
            w.line(u"    select COUNT("_s + item.mezo + u")"_s);
        else
            w.line(u"    select "_s + columnExpression(m, {}, item.mezo, item.tolig, d));
        if (m == u"COUNTM"_s) {
            const qsizetype comma = item.ahol.indexOf(QLatin1Char(','));
            w.line(u"    from "_s + item.ahol.left(comma < 0 ? item.ahol.size() : comma));
            QString pred = comma < 0 ? QString() : item.ahol.mid(comma + 1).toUpper();
            pred.replace(u"TMPTABLE"_s, name);
            w.line(u"    where "_s + pred);
        } else {
            w.line(u"    from "_s + table + u" "_s + alias);
            QStringList keysHere = keysOfSource[alias.toUpper()];
            if (m == u"COUNT1"_s || m == u"X"_s)
                keysHere = keysHere.mid(0, 1);
            else if (m == u"COUNT2"_s)
                keysHere = keysHere.mid(0, 2);
            QStringList preds;
            for (const QString& k : keysHere) {
                if (k == u"HONAP"_s && beridoOn && !sameName(alias, u"SEU"_s)) {
                    const QString month = monthMatch(alias);
                    if (!month.isEmpty())
                        preds << month;
                    continue;
                }
                preds << name + u"."_s + pad4(alias) + k + u"="_s + alias + u"."_s + k;
            }
            if (m == u"X"_s && !item.ahol.isEmpty()) {
                QString a = item.ahol;
                for (const ListItem& other : catalogue.items()) {
                    const QString mark = u"%"_s + other.alias + u"%"_s;
                    if (!other.alias.isEmpty() && a.contains(mark, Qt::CaseInsensitive)) {
                        const QString cond = other.feltetel;
                        const qsizetype last = cond.lastIndexOf(QLatin1Char('\''));
                        const qsizetype before =
                            last > 0 ? cond.lastIndexOf(QLatin1Char('\''), last - 1) : -1;
                        const QString value =
                            before >= 0 ? kw.replace(cond.mid(before + 1, last - before - 1))
                                        : QString();
                        a.replace(mark, quoted(value), Qt::CaseInsensitive);
                    }
                }
                preds << a;
            } else if (!item.ahol.isEmpty()) {
                preds << item.ahol;
            }
            if (!preds.isEmpty()) {
                w.line(u"    where "_s);
                matchLines(preds);
            }
        }
        w.line(u"  )"_s);
        w.line(u";"_s);
    }

    // 9. Leave-accounting columns
    for (const ResultColumn& c : itemColumns) {
        if (!c.numeric || !c.item || c.item->muvelet.trimmed().toUpper() != u"SZABI"_s)
            continue;
        const QString a = c.item->alias.toUpper();
        const bool szabo = a.endsWith(u"SZABO"_s) || a.endsWith(u"SZDNO"_s);
        const bool szdn = !szabo && a.contains(u"SZDN"_s);
        const QString yearColumn = szabo ? u"SZGNEV"_s : szdn ? u"SZDNEV"_s : u"SZABEV"_s;
        const bool ownYear = columnExists(yearColumn);
        const QString yearEnd = referenceDate(catalogue, kw, true);
        const QString person = name + u".SZEMID"_s;
        // The year of a date or month column, compared with the person's year.
        const auto yearOf = [&](const QString& column) {
            return ownYear ? substr(d, column, 1, 4) + u"="_s + name + u"."_s + yearColumn
                           : substr(d, column, 1, 4) + u"="_s + quoted(yearEnd.left(4));
        };
        const QString year = ownYear ? name + u"."_s + yearColumn : quoted(yearEnd.left(4));
        const QString monthLike =
            ownYear ? substr(d, u"K.HONAP"_s, 1, 4) + u"="_s + name + u"."_s + yearColumn
                    : u"K.HONAP like "_s + quoted(yearEnd.left(4) + u"%"_s);
        const auto leave = [&](const QString& sum) {
            return u"select "_s + sum + u" from szabadsagok S where S.ID="_s + person +
                   u" and S.EV="_s + year;
        };
        const auto days = [&](const QString& sum) {
            return u"select "_s + sum + u" from szabadnapok S where S.ID="_s + person +
                   u" and S.EV="_s + year;
        };
        const auto booked = [&](const QString& first, const QString& second) {
            return u"select sum(K.nap) from berkoltseghely K where K.ID="_s + person + u" and "_s +
                   monthLike + u" and K.jogcim in ('"_s + first + u"','"_s + second + u"')"_s;
        };
        const auto counted = [&](const QString& right) {
            return u"select count(*) from napora N where N.ID="_s + person +
                   u" and N.tipus='T' and N.napjog='"_s + right + u"' and "_s +
                   yearOf(u"N.datum"_s);
        };
        const QString wage =
            u"select (V.ber+coalesce(V.kieg,0))*(1+coalesce(V.markall,0)/100) from valt_alapber V "
            "where V.ID="_s +
            person +
            u" and V.TOL=(select max(V2.TOL) from valt_alapber V2 where V2.ID=V.ID and "
            "V2.TOL<='"_s +
            yearEnd + u"')"_s;
        const QString extraHours =
            u"select B.nnea from berdoku B where B.ID="_s + person +
            u" and B.honap=(select max(B2.honap) from berdoku B2 where B2.ID=B.ID and "_s +
            yearOf(u"B2.honap"_s) + u")"_s;
        const QString e = leave(u"S.alapszab+S.multev+S.gyszab+S.eszab"_s);
        const QString dn = days(u"S.alapszab+S.multev"_s);
        const QString second =
            u"select S.eszab from szab2005 S where S.ID="_s + person + u" and S.EV="_s + year;
        const auto set = [&](const QString& column, const QString& select) {
            w.line(u"Update "_s + name + u" set "_s + column + u"=("_s + select + u");"_s);
            w.line(u"Update "_s + name + u" set "_s + column + u"=0 where "_s + column +
                   u" IS NULL;"_s);
        };
        const auto combine = [&](const QString& expression) {
            w.line(u"Update "_s + name + u" set "_s + a + u"="_s + a + expression + u";"_s);
        };
        if (a == u"SPECOSZAB"_s || a == u"SPECOSZABO"_s)
            set(a, e);
        else if (a == u"SPECKSZAB"_s)
            set(a, booked(u"FIZSZABFT"_s, u"KFIZSZABFT"_s));
        else if (a == u"SPECMSZAB"_s) {
            set(a, e);
            set(u"SEGED1"_s, booked(u"FIZSZABFT"_s, u"KFIZSZABFT"_s));
            combine(u"-SEGED1"_s);
        } else if (a == u"SPECKESZAB"_s)
            set(a, booked(u"EXTRASZAB"_s, u"KEXTRASZAB"_s));
        else if (a == u"SPECMESZAB"_s) {
            set(a, leave(u"S.extra"_s));
            set(u"SEGED1"_s, booked(u"EXTRASZAB"_s, u"KEXTRASZAB"_s));
            combine(u"-SEGED1"_s);
        } else if (a == u"SPECFSZAB"_s) {
            set(a, e);
            set(u"SEGED1"_s, booked(u"FIZSZABFT"_s, u"KFIZSZABFT"_s));
            combine(u"-SEGED1"_s);
            set(u"SEGED1"_s, wage);
            set(u"SEGED2"_s, extraHours);
            combine(u"*(SEGED1/22+SEGED2)"_s);
        } else if (a == u"SPECFESZAB"_s) {
            set(a, leave(u"S.extra"_s));
            set(u"SEGED1"_s, booked(u"EXTRASZAB"_s, u"KEXTRASZAB"_s));
            combine(u"-SEGED1"_s);
            set(u"SEGED1"_s, wage);
            combine(u"*(SEGED1/22)"_s);
        } else if (a == u"SPECM2SZAB"_s)
            set(a, second);
        else if (a == u"SPECF2SZAB"_s) {
            set(a, second);
            set(u"SEGED1"_s, wage);
            set(u"SEGED2"_s, extraHours);
            combine(u"*(SEGED1/22+SEGED2)"_s);
        } else if (a == u"SPECOSZDN"_s || a == u"SPECOSZDNO"_s)
            set(a, dn);
        else if (a == u"SPECKSZDN"_s)
            set(a, booked(u"SZABPOT"_s, u"KSZABPOT"_s));
        else if (a == u"SPECMSZDN"_s) {
            set(a, dn);
            set(u"SEGED1"_s, booked(u"SZABPOT"_s, u"KSZABPOT"_s));
            combine(u"-SEGED1"_s);
        } else if (a == u"SPECKSZABO"_s)
            set(a, counted(u"FIZSZABFT"_s));
        else if (a == u"SPECMSZABO"_s) {
            set(a, e);
            set(u"SEGED1"_s, counted(u"FIZSZABFT"_s));
            combine(u"-SEGED1"_s);
        } else if (a == u"SPECKSZDNO"_s)
            set(a, counted(u"SZABPOT"_s));
        else if (a == u"SPECMSZDNO"_s) {
            set(a, dn);
            set(u"SEGED1"_s, counted(u"SZABPOT"_s));
            combine(u"-SEGED1"_s);
        }
    }

    // 10. Empty values
    for (const ResultColumn& c : columns)
        w.line(u"Update "_s + name + u" set "_s + c.name + u"="_s + filler(c) + u" where "_s +
               c.name + u" is null;"_s);

    // 11. Row removal
    const QString zeroTest = allZero.join(u" or "_s);
    if (!resultPredicates.isEmpty()) {
        w.line(u"Delete from "_s + name + u" where not ("_s);
        for (int i = 0; i < resultPredicates.size(); ++i)
            w.line((i == 0 ? QString() : u" and "_s) + u"("_s + resultPredicates[i] + u")"_s);
        if (!o.nullas && !allZero.isEmpty())
            w.line(u" and ("_s + zeroTest + u")"_s);
        w.line(u");"_s);
    } else if (!o.nullas && !allZero.isEmpty()) {
        w.line(u"Delete from "_s + name + u" where not ("_s + zeroTest + u");"_s);
    }

    // 12. Grouping key and total rows
    const auto padded = [&](const QString& column, int length) {
        // Values padded to their length: "KIS" and its totals sort before "KISA".
        if (d == u"O"_s || d == u"I"_s)
            return u"RPAD("_s + column + u","_s + QString::number(length) + u")"_s;
        return u"CAST("_s + column + u" AS CHAR("_s + QString::number(length) + u"))"_s;
    };
    std::vector<int> groupLengths;
    for (const ListItem* g : grouped) {
        QString code;
        typeOf(*g, &code);
        groupLengths.push_back(std::max(1, textLength(code)));
    }
    {
        QStringList parts;
        for (size_t i = 0; i < grouped.size(); ++i)
            parts << padded(grouped[i]->alias, groupLengths[i]);
        parts << u"'0'"_s;
        w.line(u"update "_s + name + u" set SUM_FO=1,SUM_JEL1='0',SUM_JEL="_s + parts.join(op) +
               u";"_s);
    }
    const int g = int(grouped.size());
    QString previousIntermediate;
    QDateTime intermediateTime = s.now;
    for (int i = 0; i <= g; ++i) {
        const QString digit = QString::number(std::min(i + 1, 9));
        QStringList kept, keyParts;
        for (int k = 0; k < g; ++k) {
            if (k < g - i) {
                kept << grouped[size_t(k)]->alias;
                keyParts << padded(grouped[size_t(k)]->alias, groupLengths[size_t(k)]);
            } else {
                keyParts << quoted(QString(groupLengths[size_t(k)], fillChar));
            }
        }
        keyParts << quoted(digit);
        const QString levelKey = keyParts.join(op);
        QStringList others;
        QStringList otherValues;
        for (const ResultColumn& c : columns) {
            if (kept.contains(c.name, Qt::CaseInsensitive) ||
                summedNames.contains(c.name, Qt::CaseInsensitive))
                continue;
            others << c.name;
            otherValues << filler(c) + u" "_s + c.name;
        }
        const QString columnList =
            (QStringList(summedNames) << kept << others).join(QLatin1Char(','));
        const QString header = u" (SUM_FO,SUM_JEL1,SUM_JEL"_s +
                               (columnList.isEmpty() ? QString() : u","_s + columnList) + u")"_s;
        QString keptLine;
        for (const QString& k : kept)
            keptLine += u", "_s + k;
        const QString fillerLine =
            otherValues.isEmpty() ? QString() : u", "_s + otherValues.join(u", "_s);
        if (d != u"P"_s) {
            w.line(u"Insert Into "_s + name + header);
            w.line(u" select sum(SUM_FO),"_s + quoted(digit) + u","_s + levelKey);
            QString sums;
            for (const QString& c : summedNames)
                sums += u", sum("_s + c + u")"_s;
            if (!(sums + keptLine).isEmpty())
                w.line(sums + keptLine);
            if (!fillerLine.isEmpty())
                w.line(fillerLine);
            w.line(u" from "_s + name + u" where SUM_JEL1='0'"_s);
            if (!kept.isEmpty())
                w.line(u" group by "_s + kept.join(QLatin1Char(',')));
            w.line(u";"_s);
        } else {
            QString intermediate;
            do {
                intermediate =
                    u"TMPX"_s + user +
                    intermediateTime.toString(u"yyMMddhhmmsszzz"_s).replace(u" "_s, u"_"_s);
                intermediateTime = intermediateTime.addMSecs(1);
            } while (intermediate == previousIntermediate);
            previousIntermediate = intermediate;
            createTable(intermediate);
            w.line(u"Insert Into "_s + intermediate + header);
            w.line(u" select cast(SUM_FO as float),cast("_s + quoted(digit) +
                   u" as varchar(1)),cast("_s + levelKey + u" as varchar("_s +
                   QString::number(sumWidth) + u"))"_s);
            QString sums;
            for (const QString& c : summedNames)
                sums += u", "_s + c;
            if (!(sums + keptLine).isEmpty())
                w.line(sums + keptLine);
            if (!fillerLine.isEmpty())
                w.line(fillerLine);
            w.line(u" from "_s + name + u" where SUM_JEL1='0'"_s);
            w.line(u";"_s);
            w.line(u"Insert Into "_s + name + header);
            QString select = u"select cast(sum(SUM_FO) as float),SUM_JEL1,SUM_JEL"_s;
            for (const QString& c : summedNames) {
                const auto col =
                    std::find_if(columns.begin(), columns.end(),
                                 [&](const ResultColumn& r) { return sameName(r.name, c); });
                const bool integer =
                    col != columns.end() &&
                    ((col->item && col->code.startsWith(u"NI"_s)) || (col->key && !col->item));
                select += u", cast(sum("_s + c + u") as "_s +
                          (integer ? u"integer"_s : u"float"_s) + u")"_s;
            }
            w.line(select);
            QStringList rest = kept;
            rest << others;
            if (!rest.isEmpty())
                w.line(u", "_s + rest.join(u", "_s));
            w.line(u" from "_s + intermediate);
            w.line(u"group by SUM_JEL1,SUM_JEL"_s +
                   (rest.isEmpty() ? QString() : u","_s + rest.join(QLatin1Char(','))));
            w.line(u";"_s);
            if (s.keepTables)
                out.deferredDrops << intermediate;
            else
                w.line(u"drop table "_s + intermediate + u";"_s);
        }
    }

    // 13. Row counts
    w.line(u"update "_s + name + u" set OSSZESEN=SUM_FO              where SUM_JEL1<>'0';"_s);

    // 14. Final select
    QStringList selected;
    for (const ListItem* item : listed) {
        QString code;
        typeOf(*item, &code);
        selected << (code.compare(u"NI2"_s, Qt::CaseInsensitive) == 0 ? item->alias + u"/100 "_s
                                                                      : item->alias);
        out.listedAliases << item->alias;
        out.headings << item->fejlec;
        out.listedTypes << code;
    }
    QString final = u"select "_s + selected.join(u", "_s) + u",OSSZESEN"_s +
                    (d == u"P"_s ? u",SUM_JEL"_s : QString()) + u" from "_s + name;
    if (o.csakOsszesen)
        final += u" where SUM_JEL1<>'0'"_s;
    final += u" order by SUM_JEL"_s;
    for (const ListItem* item : sorted)
        final += u", "_s + item->alias;
    w.line(final + u";"_s);

    out.lines = w.lines();
    out.resultTable = name;
    return out;
}

} // namespace mivo::kvarcel
