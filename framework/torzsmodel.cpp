#include "torzsmodel.h"

#include "alapdat.h"
#include "fieldtext.h"
#include "platform/dbquery.h"
#include "platform/fieldtypes.h"
#include "selectedrecord.h"

#include <QRegularExpression>
#include <QScopedValueRollback>
#include <QSqlField>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

int orderLineIndex(const QStringList& lines)
{
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive))
            return i;
    return -1;
}

// Simple (per character) upper case, so that the beginning keeps its length as the
// database's UPPER does.
QString upperPerCharacter(const QString& text)
{
    QString upper = text;
    for (QChar& c : upper)
        c = c.toUpper();
    return upper;
}

// How many characters the value's text shares with the case-folded beginning of `wanted`.
qsizetype sharedLength(const QVariant& v, const QString& type, const QString& wanted)
{
    const QString s = v.typeId() == QMetaType::QString ? v.toString() : panelText(v, type);
    const qsizetype limit = std::min(s.size(), wanted.size());
    qsizetype n = 0;
    while (n < limit && s[n].toCaseFolded() == wanted[n])
        ++n;
    return n;
}

} // namespace

TorzsModel::TorzsModel(const QString& connectionName, QObject* parent)
    : QAbstractTableModel(parent), m_query(std::make_unique<db::Query>(connectionName)),
      m_connection(connectionName)
{
}

TorzsModel::~TorzsModel() = default;

void TorzsModel::setGridColumns(const QList<TorzsGridColumn>& columns)
{
    beginResetModel();
    m_grid = columns;
    m_gridIndex.clear();
    for (const TorzsGridColumn& c : m_grid)
        m_gridIndex.push_back(m_structure.indexOf(c.field));
    endResetModel();
}

void TorzsModel::clear()
{
    m_rows.clear();
    m_total = 0;
    m_from.reset();
    m_atEnd = true;
    m_order.reset();
    m_orderIndex = -1;
    m_second.reset();
    m_secondIndex = -1;
    m_structure = QSqlRecord();
    m_typeNames.clear();
    m_error.clear();
}

QString TorzsModel::withCondition(const QString& predicate, const QString& tail) const
{
    QStringList lines = m_query->lines();
    const int order = orderLineIndex(lines);
    if (!predicate.isEmpty()) {
        bool added = false;
        for (QString& line : lines) {
            const QString t = line.trimmed();
            if (t.left(5).compare(QLatin1String("WHERE"), Qt::CaseInsensitive) == 0 &&
                (t.size() == 5 || t[5].isSpace() || t[5] == QLatin1Char('('))) {
                // The user's condition may hold an OR: it stays one term.
                line = u"WHERE ("_s + t.mid(5) + u") AND ("_s + predicate + u")"_s;
                added = true;
                break;
            }
        }
        if (!added)
            lines.insert(order < 0 ? lines.size() : order, u"WHERE "_s + predicate);
    }
    if (!tail.isEmpty())
        lines << tail;
    return lines.join(QLatin1Char('\n'));
}

QString TorzsModel::countStatement() const
{
    QStringList lines = m_query->lines();
    if (const int order = orderLineIndex(lines); order >= 0)
        lines.removeAt(order);
    return u"SELECT COUNT(*) FROM (\n"_s + lines.join(QLatin1Char('\n')) + u"\n)"_s;
}

QString TorzsModel::chunkStatement() const
{
    return withCondition({}, u"ROWS :mivo_from TO :mivo_to"_s);
}

QString TorzsModel::prefixStatement(const QString& field) const
{
    const int column = m_structure.indexOf(field);
    if (column < 0)
        return {};
    const data::FieldKind kind = data::kindOfTypeName(m_typeNames[size_t(column)]);
    // UPPER(column) is what the expression indexes of the searched columns hold.
    if (kind == data::FieldKind::Text)
        return withCondition(u"UPPER("_s + field + u") STARTING WITH :mivo_p"_s, u"ROWS 1"_s);
    if (data::isInteger(kind))
        return withCondition(u"CAST("_s + field + u" AS VARCHAR(20)) STARTING WITH :mivo_p"_s,
                             u"ROWS 1"_s);
    return {};
}

QString TorzsModel::searchStatement(const QString& field) const
{
    const int column = m_structure.indexOf(field);
    if (column < 0 || !m_order || m_order->descending ||
        m_order->name.compare(field, Qt::CaseInsensitive) != 0 ||
        data::kindOfTypeName(m_typeNames[size_t(column)]) != data::FieldKind::Text)
        return prefixStatement(field);
    const QString table = m_structure.field(column).tableName();
    if (table.isEmpty())
        return prefixStatement(field);
    // In the order of the column the prefix query walks its index from the first record to
    // the first match, as long as the records before it. Every match lies at or after the
    // smallest case form of the beginning, so the walk starts there; which form is the
    // smallest is up to the column's collation (lower case first in a Unicode collation,
    // upper case first in a binary one).
    const QString type = u" AS TYPE OF COLUMN "_s + table + u"."_s + field + u")"_s;
    const QString lowest =
        u"IIF(CAST('a'"_s + type + u" < CAST('A'"_s + type + u", LOWER(:mivo_p), :mivo_p)"_s;
    return withCondition(u"UPPER("_s + field + u") STARTING WITH :mivo_p AND "_s + field +
                             u" >= "_s + lowest,
                         u"ROWS 1"_s);
}

QString TorzsModel::locateStatement(const QStringList& fields, const QVariantList& values) const
{
    QStringList terms;
    for (qsizetype i = 0; i < fields.size(); ++i)
        terms << (values.value(i).isNull() ? fields[i] + u" IS NULL"_s
                                           : fields[i] + u" = :mivo_k"_s + QString::number(i));
    return withCondition(terms.join(u" AND "_s), u"ROWS 1"_s);
}

std::vector<TorzsModel::OrderColumn> TorzsModel::orderColumns() const
{
    // The plain columns the ORDER BY line begins with (a table's name may qualify them);
    // the first expression ends them.
    std::vector<OrderColumn> columns;
    const QStringList& lines = m_query->lines();
    const int order = orderLineIndex(lines);
    if (order < 0)
        return columns;
    const QString& line = lines[order];
    static const QRegularExpression plain(
        u"^([A-Za-z_][A-Za-z0-9_$]*(?:\\.[A-Za-z_][A-Za-z0-9_$]*)?)"
        u"(?:\\s+(ASC|ASCENDING|DESC|DESCENDING))?$"_s,
        QRegularExpression::CaseInsensitiveOption);
    const QStringList items =
        line.mid(line.indexOf(QLatin1String("ORDER BY"), 0, Qt::CaseInsensitive) + 8)
            .split(QLatin1Char(','));
    for (const QString& item : items) {
        const QRegularExpressionMatch m = plain.match(item.trimmed());
        if (!m.hasMatch())
            break;
        columns.push_back(
            {m.captured(1), m.captured(2).startsWith(QLatin1String("DESC"), Qt::CaseInsensitive)});
    }
    return columns;
}

int TorzsModel::resultColumnOf(const QString& name) const
{
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return m_structure.indexOf(name);
    const QString table = name.left(dot);
    const QString column = name.mid(dot + 1);
    for (int i = 0; i < m_structure.count(); ++i) {
        const QSqlField f = m_structure.field(i);
        if (f.name().compare(column, Qt::CaseInsensitive) == 0 &&
            f.tableName().compare(table, Qt::CaseInsensitive) == 0)
            return i;
    }
    // Named otherwise in the select list: "TABLE.COLUMN ALIAS" or "TABLE.COLUMN AS ALIAS".
    const QRegularExpression aliased(u"(?<![A-Za-z0-9_$.])"_s + QRegularExpression::escape(name) +
                                         u"\\s+(?:AS\\s+)?([A-Za-z_][A-Za-z0-9_$]*)"_s,
                                     QRegularExpression::CaseInsensitiveOption);
    const QString text = m_query->lines().join(QLatin1Char('\n'));
    for (auto it = aliased.globalMatch(text); it.hasNext();) {
        const int i = m_structure.indexOf(it.next().captured(1));
        if (i >= 0)
            return i;
    }
    return -1;
}

QString TorzsModel::withOrder(const QString& predicate, const QString& order,
                              const QString& tail) const
{
    QStringList lines = withCondition(predicate, {}).split(QLatin1Char('\n'));
    const int o = orderLineIndex(lines);
    if (o >= 0)
        lines[o] = u" ORDER BY "_s + order;
    else
        lines << u" ORDER BY "_s + order;
    return lines.join(QLatin1Char('\n')) + u"\n"_s + tail;
}

QString TorzsModel::sliceStatement(bool nullValue) const
{
    if (!m_order)
        return {};
    // Firebird puts nulls first in an ascending order and last in a descending one.
    const QString& c = m_order->name;
    QString from;
    if (!m_order->descending)
        from = nullValue ? QString() : c + u" >= :mivo_v"_s;
    else
        from =
            nullValue ? c + u" IS NULL"_s : u"("_s + c + u" <= :mivo_v OR "_s + c + u" IS NULL)"_s;
    return withCondition(from, u"ROWS :mivo_from TO :mivo_to"_s);
}

QString TorzsModel::tiesStatement(bool nullValue) const
{
    if (!m_order)
        return {};
    const QString& c = m_order->name;
    return withCondition(nullValue ? c + u" IS NULL"_s : c + u" = :mivo_v"_s,
                         u"ROWS 1 TO :mivo_to"_s);
}

QString TorzsModel::valueBeforeStatement(Backwards kind) const
{
    if (!m_order)
        return {};
    // Backwards on the column's index of the other direction; nulls are never a slice's
    // first value in an ascending order, so they are left out there.
    const QString& c = m_order->name;
    QString predicate;
    if (!m_order->descending) {
        if (kind == Backwards::BeforeNull)
            return {};
        predicate = kind == Backwards::Before ? c + u" < :mivo_v"_s : c + u" IS NOT NULL"_s;
    } else if (kind == Backwards::Before) {
        predicate = c + u" > :mivo_v"_s;
    } else if (kind == Backwards::BeforeNull) {
        predicate = c + u" IS NOT NULL"_s;
    }
    return withOrder(predicate, m_order->descending ? c : c + u" DESC"_s,
                     u"ROWS :mivo_to TO :mivo_to"_s);
}

QString TorzsModel::betweenStatement(bool nullValue) const
{
    if (!m_order)
        return {};
    const QString& c = m_order->name;
    QString predicate;
    if (!m_order->descending)
        predicate = c + u" >= :mivo_w AND "_s + c + u" < :mivo_v"_s;
    else if (nullValue)
        predicate = c + u" <= :mivo_w"_s;
    else
        predicate = c + u" <= :mivo_w AND "_s + c + u" > :mivo_v"_s;
    return withCondition(predicate, {});
}

bool TorzsModel::exec(db::Query& q) const
{
    if (m_observer)
        m_observer(q.sql(), q.boundValues());
    return q.exec();
}

void TorzsModel::bindParameters(db::Query& q) const
{
    for (const auto& [name, value] : m_parameters)
        q.bind(name, value);
}

bool TorzsModel::read(db::Query& q, std::vector<Row>* rows) const
{
    if (!exec(q)) {
        m_error = q.lastError();
        return false;
    }
    const int columns = q.fieldCount();
    while (q.next()) {
        Row row;
        row.reserve(size_t(columns));
        for (int i = 0; i < columns; ++i)
            row.push_back(q.value(i));
        rows->push_back(std::move(row));
    }
    return true;
}

bool TorzsModel::readSlice(int from, int to, std::vector<Row>* rows) const
{
    db::Query q(m_connection);
    q.setSql(m_from ? sliceStatement(m_from->isNull()) : chunkStatement());
    bindParameters(q);
    if (m_from && !m_from->isNull())
        q.bind(u"mivo_v"_s, *m_from);
    const int skip = m_from ? m_skip : 0;
    q.bind(u"mivo_from"_s, skip + from);
    q.bind(u"mivo_to"_s, skip + to);
    return read(q, rows);
}

bool TorzsModel::valueBefore(Backwards kind, const QVariant& value, int count,
                             std::optional<QVariant>* found, int* sameValueRows,
                             bool* moreAbove) const
{
    found->reset();
    QString statement = valueBeforeStatement(kind);
    if (statement.isEmpty())
        return true;
    if (sameValueRows)
        statement.replace(u"ROWS :mivo_to TO :mivo_to"_s, u"ROWS 1 TO :mivo_to"_s);
    db::Query q(m_connection);
    q.setSql(statement);
    bindParameters(q);
    if (kind == Backwards::Before)
        q.bind(u"mivo_v"_s, value);
    // One record more tells whether its value goes on further up.
    q.bind(u"mivo_to"_s, sameValueRows ? count + 1 : count);
    if (!exec(q)) {
        m_error = q.lastError();
        return false;
    }
    if (!sameValueRows) {
        if (q.first())
            *found = q.value(m_orderIndex);
        return true;
    }
    // The last of the records read, and how many of them share its value.
    std::vector<QVariant> values;
    while (q.next())
        values.push_back(q.value(m_orderIndex));
    if (int(values.size()) < count)
        return true;
    const QVariant last = values[size_t(count - 1)];
    *found = last;
    *sameValueRows = int(std::count_if(values.begin(), values.begin() + count,
                                       [&](const QVariant& v) { return sameValue(v, last); }));
    if (moreAbove)
        *moreAbove = int(values.size()) > count && sameValue(values.back(), last);
    return true;
}

QString TorzsModel::tiesCountStatement() const
{
    if (!m_order)
        return {};
    QStringList lines = withCondition(m_order->name + u" = :mivo_w"_s, {}).split(QLatin1Char('\n'));
    if (const int o = orderLineIndex(lines); o >= 0)
        lines.removeAt(o);
    return u"SELECT COUNT(*) FROM (\n"_s + lines.join(QLatin1Char('\n')) + u"\n)"_s;
}

QString TorzsModel::tiesBeforeCountStatement(bool nullValue, bool nullSecond) const
{
    if (!m_order || !m_second)
        return {};
    const QString& c = m_second->name;
    QString before;
    if (!m_second->descending) {
        // Nulls come first: none is before a null.
        if (nullSecond)
            return {};
        before = u"("_s + c + u" < :mivo_k OR "_s + c + u" IS NULL)"_s;
    } else {
        before = nullSecond ? c + u" IS NOT NULL"_s : c + u" > :mivo_k"_s;
    }
    const QString ties =
        nullValue ? m_order->name + u" IS NULL"_s : m_order->name + u" = :mivo_v"_s;
    QStringList lines = withCondition(ties + u" AND "_s + before, {}).split(QLatin1Char('\n'));
    if (const int o = orderLineIndex(lines); o >= 0)
        lines.removeAt(o);
    return u"SELECT COUNT(*) FROM (\n"_s + lines.join(QLatin1Char('\n')) + u"\n)"_s;
}

bool TorzsModel::reopen(QString* error)
{
    const QScopedValueRollback signalling(m_signalling, true);
    beginResetModel();
    clear();
    // The full lists execute the statement themselves, anew after every reopen.
    m_query->close();
    db::Query q(m_connection);
    q.setSql(chunkStatement());
    bindParameters(q);
    q.bind(u"mivo_from"_s, 1);
    q.bind(u"mivo_to"_s, m_chunk);
    const bool ok = read(q, &m_rows);
    m_structure = q.record();
    // A first chunk that is not full is all there is; a larger table is counted when the
    // count is first asked for.
    m_atEnd = int(m_rows.size()) < m_chunk;
    m_total = m_atEnd ? int(m_rows.size()) : -1;
    if (ok) {
        for (int i = 0; i < m_structure.count(); ++i)
            m_typeNames.push_back(Tdm::fieldTypeName(m_structure.field(i)));
        const std::vector<OrderColumn> order = orderColumns();
        if (!order.empty() && (m_orderIndex = resultColumnOf(order[0].name)) >= 0) {
            m_order = order[0];
            if (order.size() > 1 && (m_secondIndex = resultColumnOf(order[1].name)) >= 0)
                m_second = order[1];
        }
    } else {
        const QString text = m_error;
        clear();
        m_error = text;
    }
    m_gridIndex.clear();
    for (const TorzsGridColumn& c : m_grid)
        m_gridIndex.push_back(m_structure.indexOf(c.field));
    endResetModel();
    if (!ok && error)
        *error = m_error;
    return ok;
}

int TorzsModel::totalCount() const
{
    if (m_total >= 0)
        return m_total;
    db::Query count(m_connection);
    count.setSql(countStatement());
    bindParameters(count);
    if (!exec(count) || !count.first()) {
        m_error = count.lastError();
        return 0;
    }
    m_total = count.value(0).toInt();
    return m_total;
}

bool TorzsModel::resetSlice(const std::optional<QVariant>& from, int rows, int skip)
{
    const QScopedValueRollback signalling(m_signalling, true);
    beginResetModel();
    m_rows.clear();
    m_from = from;
    m_skip = from ? skip : 0;
    m_atEnd = false;
    const bool ok = readSlice(1, rows, &m_rows);
    m_atEnd = !ok || int(m_rows.size()) < rows;
    endResetModel();
    return ok;
}

bool TorzsModel::fetchAfter(int rows)
{
    if (m_atEnd || m_signalling)
        return false;
    std::vector<Row> more;
    const int n = int(m_rows.size());
    if (!readSlice(n + 1, n + rows, &more))
        return false;
    m_atEnd = int(more.size()) < rows;
    if (more.empty())
        return true;
    const QScopedValueRollback signalling(m_signalling, true);
    beginInsertRows({}, n, n + int(more.size()) - 1);
    std::move(more.begin(), more.end(), std::back_inserter(m_rows));
    endInsertRows();
    return true;
}

int TorzsModel::fetchBefore()
{
    if (!m_from || m_signalling || m_rows.empty())
        return 0;
    if (m_skip > 0) {
        // The slice begins inside the records of its first value: the ones above it there.
        std::vector<Row> rows;
        const int from = std::max(1, m_skip - m_chunk + 1);
        db::Query q(m_connection);
        q.setSql(sliceStatement(m_from->isNull()));
        bindParameters(q);
        if (!m_from->isNull())
            q.bind(u"mivo_v"_s, *m_from);
        q.bind(u"mivo_from"_s, from);
        q.bind(u"mivo_to"_s, m_skip);
        if (!read(q, &rows))
            return 0;
        const int n = int(rows.size());
        if (n == 0) {
            first();
            return 0;
        }
        const QScopedValueRollback signalling(m_signalling, true);
        beginInsertRows({}, 0, n - 1);
        m_rows.insert(m_rows.begin(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
        m_skip = from - 1;
        endInsertRows();
        return n;
    }
    const QVariant w = *m_from;
    std::optional<QVariant> above;
    if (!valueBefore(w.isNull() ? Backwards::BeforeNull : Backwards::Before, w, m_chunk, &above))
        return 0;
    std::vector<Row> rows;
    if (above) {
        db::Query q(m_connection);
        q.setSql(betweenStatement(w.isNull()));
        bindParameters(q);
        q.bind(u"mivo_w"_s, *above);
        if (!w.isNull())
            q.bind(u"mivo_v"_s, w);
        if (!read(q, &rows))
            return 0;
    } else {
        // Less than a chunk before the slice: the records from the first one up to it.
        int skip = 0;
        for (int from = 1;; from += 4 * m_chunk) {
            std::vector<Row> part;
            db::Query q(m_connection);
            q.setSql(chunkStatement());
            bindParameters(q);
            q.bind(u"mivo_from"_s, from);
            q.bind(u"mivo_to"_s, from + 4 * m_chunk - 1);
            if (!read(q, &part))
                return 0;
            for (Row& r : part) {
                if (sameValue(r[size_t(m_orderIndex)], w)) {
                    skip = -1;
                    break;
                }
                rows.push_back(std::move(r));
            }
            if (skip < 0)
                break;
            if (int(part.size()) < 4 * m_chunk) {
                // The slice's value is gone (another workstation's change): start over.
                first();
                return 0;
            }
        }
    }
    const int n = int(rows.size());
    const QScopedValueRollback signalling(m_signalling, true);
    if (n > 0) {
        beginInsertRows({}, 0, n - 1);
        m_rows.insert(m_rows.begin(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
        m_from = above;
        endInsertRows();
    } else {
        m_from = above;
    }
    if (!m_from && !m_rows.empty())
        emit headerDataChanged(Qt::Vertical, 0, int(m_rows.size()) - 1);
    return n;
}

int TorzsModel::first()
{
    if (m_from && !resetSlice(std::nullopt, m_chunk))
        return -1;
    return m_rows.empty() ? -1 : 0;
}

int TorzsModel::last()
{
    if (!m_atEnd) {
        // The slice begins a chunk before the end, at the start of that value's records.
        std::optional<QVariant> from;
        if (!valueBefore(Backwards::FromEnd, {}, m_chunk, &from))
            return -1;
        if (!resetSlice(from, 2 * m_chunk))
            return -1;
        while (!m_atEnd)
            if (!fetchAfter(8 * m_chunk))
                return -1;
    }
    return int(m_rows.size()) - 1;
}

int TorzsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TorzsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_grid.size());
}

bool TorzsModel::canFetchMore(const QModelIndex& parent) const
{
    // Views asking from inside the model's own change signals wait for it to finish.
    return !parent.isValid() && !m_atEnd && !m_signalling;
}

void TorzsModel::fetchMore(const QModelIndex& parent)
{
    if (canFetchMore(parent))
        fetchAfter(m_chunk);
}

bool TorzsModel::fetchUpTo(int index)
{
    if (index < 0)
        return false;
    if (index >= int(m_rows.size()) && !m_atEnd) {
        // To the chunk holding it, in one statement.
        const qint64 to = (qint64(index) / m_chunk + 1) * m_chunk;
        fetchAfter(int(std::min<qint64>(to - qint64(m_rows.size()), INT_MAX / 2)));
    }
    return index < int(m_rows.size());
}

QVariant TorzsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int column = m_gridIndex[size_t(index.column())];
    if (column < 0)
        return {};
    const QString& type = m_typeNames[size_t(column)];
    if (role == Qt::TextAlignmentRole) {
        const bool number = data::isNumeric(data::kindOfTypeName(type));
        return QVariant::fromValue(
            Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    }
    if (role != Qt::DisplayRole)
        return {};
    return panelText(m_rows[size_t(index.row())][size_t(column)], type,
                     m_grid[index.column()].numberFormat);
}

QVariant TorzsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return atStart() ? QVariant(section + 1) : QVariant();
    return section >= 0 && section < m_grid.size() ? QVariant(m_grid[section].title) : QVariant();
}

QSqlRecord TorzsModel::record(int index) const
{
    if (index < 0 || index >= rowCount())
        return {};
    const Row& r = m_rows[size_t(index)];
    QSqlRecord record = m_structure;
    for (int i = 0; i < record.count(); ++i)
        record.setValue(i, r[size_t(i)]);
    return record;
}

QVariant TorzsModel::value(int index, const QString& field) const
{
    const int column = m_structure.indexOf(field);
    return index >= 0 && index < rowCount() && column >= 0 ? m_rows[size_t(index)][size_t(column)]
                                                           : QVariant();
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    if (a.isNull() || b.isNull())
        return a.isNull() && b.isNull();
    const auto numeric = [](const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::Short:
        case QMetaType::Double:
        case QMetaType::Float:
            return true;
        default:
            return false;
        }
    };
    if (numeric(a) && numeric(b))
        return a.toDouble() == b.toDouble();
    return a.toString() == b.toString();
}

int TorzsModel::scanFrom(const std::optional<QVariant>& value,
                         const std::function<bool(const Row&)>& accepts)
{
    bool reached = !value || m_orderIndex < 0;
    for (int i = 0;; ++i) {
        // A long scan reads a few chunks per statement.
        if (i >= int(m_rows.size()) && !(fetchAfter(8 * m_chunk) && i < int(m_rows.size())))
            return -1;
        const Row& r = m_rows[size_t(i)];
        reached = reached || sameValue(r[size_t(m_orderIndex)], *value);
        if (reached && accepts(r))
            return i;
    }
}

int TorzsModel::positionOf(const QSqlRecord& found, const std::function<bool(const Row&)>& accepts,
                           bool firstOfValue)
{
    const QString orderField = m_order ? m_structure.fieldName(m_orderIndex) : QString();
    if (!m_order || found.indexOf(orderField) < 0) {
        // Without a plain order column only a read from the first record finds its place.
        return first() < 0 ? -1 : scanFrom(std::nullopt, accepts);
    }
    const QVariant v = found.value(orderField);
    // In the slice when the records of its value begin there.
    const auto at = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row& r) {
        return sameValue(r[size_t(m_orderIndex)], v);
    });
    if (at != m_rows.end() &&
        (at != m_rows.begin() || !m_from || (m_skip == 0 && sameValue(*m_from, v)))) {
        if (const int row = scanFrom(v, accepts); row >= 0)
            return row;
    }
    // Read anew from some records before it, which the rows above it show.
    const int margin = std::max(1, m_chunk / 4);
    const int rows = margin + std::max(1, m_chunk / 2);
    if (!firstOfValue && m_second && found.indexOf(m_structure.fieldName(m_secondIndex)) >= 0) {
        // Its place among the records of its value, counted on the second order column:
        // a value can have as many records as the table.
        const QVariant k = found.value(m_structure.fieldName(m_secondIndex));
        const QString statement = tiesBeforeCountStatement(v.isNull(), k.isNull());
        int before = 0;
        if (!statement.isEmpty()) {
            db::Query count(m_connection);
            count.setSql(statement);
            bindParameters(count);
            if (!v.isNull())
                count.bind(u"mivo_v"_s, v);
            if (!k.isNull())
                count.bind(u"mivo_k"_s, k);
            if (!exec(count) || !count.first()) {
                m_error = count.lastError();
                return -1;
            }
            before = count.value(0).toInt();
        }
        // From some records of its value before it (fewer near the first of them: the
        // records before the value are read only when the view scrolls up to them).
        if (!resetSlice(v, rows, std::max(0, before - margin)))
            return -1;
        if (const int row = scanFrom(v, accepts); row >= 0)
            return row;
    } else if (!firstOfValue) {
        // Its place among the records of its value, when it has enough of them before it.
        std::vector<Row> ties;
        db::Query q(m_connection);
        q.setSql(tiesStatement(v.isNull()));
        bindParameters(q);
        if (!v.isNull())
            q.bind(u"mivo_v"_s, v);
        q.bind(u"mivo_to"_s, 8 * m_chunk);
        if (!read(q, &ties))
            return -1;
        const auto it = std::find_if(ties.begin(), ties.end(), accepts);
        const int k = int(it - ties.begin());
        if (it != ties.end() && k >= margin) {
            const QScopedValueRollback signalling(m_signalling, true);
            beginResetModel();
            m_from = v;
            m_skip = k - margin;
            m_rows.assign(std::make_move_iterator(ties.begin() + m_skip),
                          std::make_move_iterator(ties.end()));
            m_atEnd = false;
            endResetModel();
            return margin;
        }
    }
    // The slice begins inside the records of the value found there, when they reach
    // further up: they can be as many as the table has.
    std::optional<QVariant> from;
    int shared = 0;
    bool moreAbove = false;
    if (!valueBefore(v.isNull() ? Backwards::BeforeNull : Backwards::Before, v, margin, &from,
                     &shared, &moreAbove))
        return -1;
    int skip = 0;
    // Only a value that goes on further up needs its records counted.
    if (from && moreAbove) {
        db::Query count(m_connection);
        count.setSql(tiesCountStatement());
        bindParameters(count);
        count.bind(u"mivo_w"_s, *from);
        if (!exec(count) || !count.first()) {
            m_error = count.lastError();
            return -1;
        }
        skip = std::max(0, count.value(0).toInt() - shared);
    }
    if (!resetSlice(from, rows, skip))
        return -1;
    const int row = scanFrom(v, accepts);
    // Only rows changed by another workstation since the statement found it miss it.
    if (row >= 0 || !from)
        return row;
    return first() < 0 ? -1 : scanFrom(std::nullopt, accepts);
}

int TorzsModel::locate(const QStringList& fields, const QVariantList& values)
{
    return locateRecord(fields, values, nullptr);
}

int TorzsModel::locateAt(const QSqlRecord& found, const QStringList& fields,
                         const QVariantList& values)
{
    return locateRecord(fields, values, &found);
}

int TorzsModel::locateRecord(const QStringList& fields, const QVariantList& values,
                             const QSqlRecord* known)
{
    if (fields.isEmpty() || fields.size() != values.size())
        return -1;
    std::vector<int> columns;
    for (const QString& f : fields) {
        columns.push_back(m_structure.indexOf(f));
        if (columns.back() < 0)
            return -1;
    }
    const auto accepts = [&](const Row& r) {
        for (size_t i = 0; i < columns.size(); ++i)
            if (!sameValue(r[size_t(columns[i])], values[qsizetype(i)]))
                return false;
        return true;
    };
    // The rows read from the first on answer without the database.
    if (!m_from) {
        for (size_t i = 0; i < m_rows.size(); ++i)
            if (accepts(m_rows[i]))
                return int(i);
        if (m_atEnd)
            return -1;
    }
    if (known)
        return positionOf(*known, accepts, false);
    db::Query q(m_connection);
    q.setSql(locateStatement(fields, values));
    bindParameters(q);
    for (qsizetype k = 0; k < values.size(); ++k)
        if (!values[k].isNull())
            q.bind(u"mivo_k"_s + QString::number(k), values[k]);
    if (!exec(q)) {
        m_error = q.lastError();
        return -1;
    }
    if (!q.first())
        return -1;
    return positionOf(currentRecord(q), accepts, false);
}

int TorzsModel::scanSearch(int column, const QString& wanted)
{
    // The first row with the longest shared beginning, row by row over every record.
    if (first() < 0)
        return -1;
    while (!m_atEnd)
        if (!fetchAfter(8 * m_chunk))
            return -1;
    const QString& type = m_typeNames[size_t(column)];
    int best = -1;
    qsizetype bestLength = 0;
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const qsizetype n = sharedLength(m_rows[size_t(i)][size_t(column)], type, wanted);
        if (n > bestLength) {
            bestLength = n;
            best = i;
            if (n == wanted.size())
                break;
        }
    }
    return best;
}

int TorzsModel::search(const QString& field, const QString& text)
{
    const int column = m_structure.indexOf(field);
    if (column < 0 || text.isEmpty())
        return -1;
    const QString wanted = text.toCaseFolded();
    QString statement = searchStatement(field);
    if (statement.isEmpty())
        return scanSearch(column, wanted);
    const QString plain = prefixStatement(field);
    const QString& type = m_typeNames[size_t(column)];
    // The first row with the longest shared beginning is the first row in the order that
    // begins with the longest beginning of the text that any row begins with.
    QString failure;
    for (qsizetype length = text.size(); length > 0; --length) {
        db::Query q(m_connection);
        q.setSql(statement);
        bindParameters(q);
        q.bind(u"mivo_p"_s, upperPerCharacter(text.left(length)));
        bool ok = exec(q);
        if (!ok && statement != plain) {
            // A column the bound cannot name (a view's, a computed one) goes without it.
            q.setSql(plain);
            if ((ok = exec(q)))
                statement = plain;
        }
        if (!ok) {
            // A beginning longer than the column does not fit its parameter.
            failure = q.lastError();
            continue;
        }
        if (!q.first())
            continue;
        const auto accepts = [&](const Row& r) {
            return sharedLength(r[size_t(column)], type, wanted) >= length;
        };
        // Every record of its value begins as it does: it is the first of them.
        const int row = positionOf(currentRecord(q), accepts, true);
        // The database's case rules and ours part only on rare letters: ours decide then.
        return row >= 0 ? row : scanSearch(column, wanted);
    }
    m_error = failure;
    return -1;
}

} // namespace mivo
