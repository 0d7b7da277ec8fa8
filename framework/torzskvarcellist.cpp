#include "torzskvarcellist.h"

#include "statementrights.h"

#include "core/altproc.h"
#include "platform/catalogue.h"
#include "platform/dbquery.h"
#include "platform/sqltext.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mivo::torzskvarcel
{

namespace
{

const QString markSequence = u"123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

} // namespace

const std::vector<OperatorEntry>& operators()
{
    static const std::vector<OperatorEntry> list = [] {
        const QStringList entries = {
            u"=    egyenlő"_s,
            u">    nagyobb"_s,
            u">=  nagyobb, vagy egyenlő"_s,
            u"<    kisebb"_s,
            u"<=  kisebb, vagy egyenlő"_s,
            u"<>  nem egyenlő"_s,
            u"%t% szöveget tartalmaz bárhol"_s,
            u"%t   szöveg vége"_s,
            u"t%   szöveg kezdete"_s,
            u"[]    tól - ig"_s,
            u"null érték nélkül"_s,
        };
        std::vector<OperatorEntry> result;
        for (const QString& e : entries)
            result.push_back({e, e.left(4).trimmed()});
        return result;
    }();
    return list;
}

QString conditionPiece(const QString& code, const QString& value, const QString& value2)
{
    const QString v = value.trimmed();
    if (code == u"null"_s)
        return u" is null "_s;
    if (code == u"%t%"_s)
        return u" like "_s + db::literal(u"%"_s + v + u"%"_s);
    if (code == u"%t"_s)
        return u" like "_s + db::literal(u"%"_s + v);
    if (code == u"t%"_s)
        return u" like "_s + db::literal(v + u"%"_s);
    if (code == u"[]"_s)
        return u" between "_s + db::literal(v) + u" and "_s + db::literal(value2.trimmed());
    return u" "_s + code + u" "_s + db::literal(v);
}

QString predicate(const QString& table, const QString& column, const QString& condition)
{
    const QString field = table + u"."_s + column;
    const QString text = condition.trimmed();
    QString out;
    bool quoted = false;
    bool betweenOpen = false; // a between waits for its own "and"
    int i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c == u'\'') {
            quoted = !quoted;
            out += c;
            ++i;
            continue;
        }
        if (!quoted && isWordChar(c) && (i == 0 || !isWordChar(text.at(i - 1)))) {
            int end = i;
            while (end < text.size() && isWordChar(text.at(end)))
                ++end;
            const QString word = text.mid(i, end - i).toLower();
            out += text.mid(i, end - i);
            const bool connector = i > 0 && text.at(i - 1).isSpace();
            if (word == u"between"_s) {
                betweenOpen = true;
            } else if (word == u"and"_s && betweenOpen) {
                betweenOpen = false;
            } else if (connector && (word == u"and"_s || word == u"or"_s)) {
                // The field goes between the connector and its comparison, one blank apart.
                out += u" "_s + field + u" "_s;
                while (end < text.size() && text.at(end).isSpace())
                    ++end;
            }
            i = end;
            continue;
        }
        out += c;
        ++i;
    }
    const bool grouped = text.contains(u" and "_s) || text.contains(u" or "_s);
    const QString body = field + u" "_s + out;
    return grouped ? u"("_s + body + u")"_s : body;
}

bool MasterList::load(const QString& connection, const QString& table, QString* error)
{
    const QString name = table.trimmed().toUpper();
    if (name == m_table && !m_rows.empty())
        return true;
    std::vector<FieldRow> rows;
    db::Query q(connection);
    q.setLines({u"Select SORREND, MEGNEVEZES, MEZO"_s, u"from VEZERLO"_s,
                u"where (BUTTON <> 'MEMO' or button is null) and (MODUL = :TABLA)"_s,
                u"Order By SORREND"_s});
    q.bind(u"TABLA"_s, name);
    const bool hasControl = db::tableExists(connection, u"VEZERLO"_s);
    if (hasControl) {
        if (!q.exec()) {
            if (error)
                *error = q.lastError();
            return false;
        }
        while (q.next()) {
            const QString column = q.text(u"MEZO"_s);
            // A row without a column would give "TABLE. = ..." in the statement.
            if (column.isEmpty())
                continue;
            rows.push_back({q.text(u"MEGNEVEZES"_s), column, {}, 0, {}, {}});
        }
    }
    if (rows.empty()) {
        db::Query columns(connection);
        columns.setSql(u"Select * From "_s + name + u" where 1=2"_s);
        if (!columns.exec()) {
            if (error)
                *error = columns.lastError();
            return false;
        }
        for (int i = 0; i < columns.fieldCount(); ++i)
            rows.push_back({columns.fieldName(i), columns.fieldName(i), {}, 0, {}, {}});
    }
    m_table = name;
    m_rows = std::move(rows);
    title.clear();
    m_lastBuilt.clear();
    changed();
    return true;
}

void MasterList::toggleMark(int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return;
    FieldRow& r = m_rows[size_t(row)];
    if (r.mark.isEmpty()) {
        int highest = -1;
        for (const FieldRow& other : m_rows)
            if (!other.mark.isEmpty())
                highest = std::max(highest, int(markSequence.indexOf(other.mark)));
        r.mark = markSequence.at(std::min(highest + 1, int(markSequence.size()) - 1));
    } else {
        const int removed = int(markSequence.indexOf(r.mark));
        r.mark.clear();
        for (FieldRow& other : m_rows) {
            const int at = int(markSequence.indexOf(other.mark));
            if (!other.mark.isEmpty() && at > removed)
                other.mark = markSequence.at(at - 1);
        }
    }
    changed();
}

void MasterList::toggleSort(int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return;
    FieldRow& r = m_rows[size_t(row)];
    if (r.sort == 0) {
        int highest = 0;
        for (const FieldRow& other : m_rows)
            highest = std::max(highest, other.sort);
        r.sort = highest + 1;
    } else {
        const int removed = r.sort;
        r.sort = 0;
        for (FieldRow& other : m_rows)
            if (other.sort > removed)
                --other.sort;
    }
    changed();
}

void MasterList::cycleConnector(int row)
{
    if (row < 0 || row >= int(m_rows.size()))
        return;
    QString& c = m_rows[size_t(row)].connector;
    c = c == u"and"_s ? u"or"_s : u"and"_s;
    changed();
}

void MasterList::acceptCondition(int row, const QString& code, const QString& value,
                                 const QString& value2)
{
    if (row < 0 || row >= int(m_rows.size()))
        return;
    FieldRow& r = m_rows[size_t(row)];
    const QString piece = conditionPiece(code, value, value2);
    if (r.condition.trimmed().isEmpty())
        r.condition = piece;
    else
        r.condition += (code == u"<>"_s ? u" and "_s : u" or "_s) + piece;
    r.connector = u"and"_s;
    changed();
}

void MasterList::setCondition(int row, const QString& text)
{
    if (row < 0 || row >= int(m_rows.size()) || m_rows[size_t(row)].condition == text)
        return;
    m_rows[size_t(row)].condition = text;
    changed();
}

void MasterList::clearCondition(int row)
{
    setCondition(row, QString());
}

void MasterList::clearConditions()
{
    for (FieldRow& r : m_rows)
        r.condition.clear();
    changed();
}

void MasterList::clearChoices()
{
    for (FieldRow& r : m_rows) {
        r.mark.clear();
        r.sort = 0;
        r.condition.clear();
    }
    title.clear();
    m_lastBuilt.clear();
    changed();
}

Statement MasterList::build() const
{
    Statement s;
    std::vector<const FieldRow*> listed, sorted;
    for (const FieldRow& r : m_rows) {
        if (!r.mark.isEmpty())
            listed.push_back(&r);
        if (r.sort > 0)
            sorted.push_back(&r);
    }
    std::stable_sort(listed.begin(), listed.end(), [](const FieldRow* a, const FieldRow* b) {
        return markSequence.indexOf(a->mark) < markSequence.indexOf(b->mark);
    });
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const FieldRow* a, const FieldRow* b) { return a->sort < b->sort; });
    QStringList fields, order;
    for (const FieldRow* r : listed)
        fields << m_table + u"."_s + r->column;
    for (const FieldRow* r : sorted)
        order << m_table + u"."_s + r->column;
    s.fields = fields.join(u","_s);
    s.order = order.join(u" , "_s);

    s.lines << (fields.isEmpty() ? u" SELECT *"_s : u" SELECT "_s + s.fields);
    s.lines << u"From "_s + m_table;
    QStringList predicates;
    for (const FieldRow& r : m_rows) {
        if (r.condition.trimmed().isEmpty())
            continue;
        const QString p = predicate(m_table, r.column, r.condition);
        // A typed condition has no connector yet; "and" keeps the statement valid.
        const QString connector = r.connector.isEmpty() ? u"and"_s : r.connector;
        predicates << (predicates.isEmpty() ? p : connector + u" "_s + p);
    }
    if (!predicates.isEmpty()) {
        s.lines << u" where "_s;
        s.lines << predicates;
        QString text;
        for (const QString& p : predicates)
            text += p + u" "_s;
        s.condition = text.contains(u" or "_s) ? u"("_s + text + u")"_s : text;
    }
    if (!order.isEmpty()) {
        s.lines << u" order by "_s;
        for (int i = 0; i < order.size(); ++i)
            s.lines << (i + 1 < order.size() ? order[i] + u" , "_s : order[i]);
    }
    return s;
}

QString MasterList::summary() const
{
    const Statement s = build();
    return u"Megadott feltétel:\n"_s +
           (s.condition.isEmpty() ? u" * Nincs megadva feltétel *"_s : s.condition) +
           u"\nKiválasztott mezők:\n"_s +
           (s.fields.isEmpty() ? u" * Nincs kiválasztva mező *"_s : s.fields);
}

QString MasterList::buildIntoWindow()
{
    m_lastBuilt = build().lines.join(u"\n"_s);
    m_builtGeneration = m_generation;
    return m_lastBuilt;
}

QString MasterList::statementToRun(const QString& windowText, bool* built)
{
    const bool rebuild = windowText.trimmed().isEmpty() ||
                         (windowText == m_lastBuilt && m_builtGeneration != m_generation);
    if (built)
        *built = rebuild;
    return rebuild ? buildIntoWindow() : windowText;
}

bool runStatement(const QString& connection, const QString& statement, const QString& jogok,
                  std::unique_ptr<db::Query>* result, QString* error)
{
    if (!jogok.contains(u'9')) {
        QString failure;
        const bool hasTablak = db::tableExists(connection, u"TABLAK"_s, &failure);
        if (!failure.isEmpty()) {
            if (error)
                *error = failure;
            return false;
        }
        if (hasTablak) {
            StatementRights rights(connection, jogok);
            if (!rights.allowed(statement)) {
                if (error)
                    *error = rights.lastError().isEmpty() ? u"Erre Önnek nincs jogosultsaga"_s
                                                          : rights.lastError();
                return false;
            }
        }
    }
    auto q = std::make_unique<db::Query>(connection);
    // Typed text goes to the server as written: its colons are no parameters.
    q->setParamCheck(false);
    q->setSql(statement);
    if (!q->exec()) {
        if (error)
            *error = q->lastError();
        return false;
    }
    if (result)
        *result = q->fieldCount() > 0 ? std::move(q) : nullptr;
    return true;
}

bool distinctValues(const QString& connection, const QString& table, const QString& column,
                    QStringList* values, QString* error)
{
    db::Query q(connection);
    q.setLines({u"Select Distinct "_s + column + u" From "_s + table, u"Order By "_s + column});
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    values->clear();
    values->reserve(q.recordCount());
    while (q.next())
        *values << q.value(0).toString();
    return true;
}

} // namespace mivo::torzskvarcel
