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
    m_fetched = 0;
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

QString TorzsModel::searchStatement(const QString& field) const
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

QString TorzsModel::locateStatement(const QStringList& fields, const QVariantList& values) const
{
    QStringList terms;
    for (qsizetype i = 0; i < fields.size(); ++i)
        terms << (values.value(i).isNull() ? fields[i] + u" IS NULL"_s
                                           : fields[i] + u" = :mivo_k"_s + QString::number(i));
    return withCondition(terms.join(u" AND "_s), u"ROWS 1"_s);
}

std::optional<TorzsModel::OrderColumn> TorzsModel::firstOrderColumn() const
{
    const QStringList& lines = m_query->lines();
    const int order = orderLineIndex(lines);
    if (order < 0)
        return std::nullopt;
    const QString& line = lines[order];
    const QString first =
        line.mid(line.indexOf(QLatin1String("ORDER BY"), 0, Qt::CaseInsensitive) + 8)
            .section(QLatin1Char(','), 0, 0)
            .trimmed();
    static const QRegularExpression plain(
        u"^([A-Za-z_][A-Za-z0-9_$]*)(?:\\s+(ASC|ASCENDING|DESC|DESCENDING))?$"_s,
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = plain.match(first);
    if (!m.hasMatch())
        return std::nullopt;
    return OrderColumn{m.captured(1),
                       m.captured(2).startsWith(QLatin1String("DESC"), Qt::CaseInsensitive)};
}

QString TorzsModel::positionStatement(bool nullValue) const
{
    const std::optional<OrderColumn> order = firstOrderColumn();
    if (!order)
        return {};
    // Firebird puts nulls first in an ascending order and last in a descending one.
    const QString& c = order->name;
    QString before;
    if (!order->descending)
        before = nullValue ? u"1 = 0"_s : u"("_s + c + u" < :mivo_v OR "_s + c + u" IS NULL)"_s;
    else
        before = nullValue ? c + u" IS NOT NULL"_s : c + u" > :mivo_v"_s;
    QStringList lines = withCondition(before, {}).split(QLatin1Char('\n'));
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
    db::Query count(m_connection);
    count.setSql(countStatement());
    bool ok = count.exec() && count.first();
    if (!ok)
        m_error = count.lastError();
    else
        m_total = count.value(0).toInt();
    if (ok) {
        db::Query q(m_connection);
        q.setSql(chunkStatement());
        q.bind(u"mivo_from"_s, 1);
        q.bind(u"mivo_to"_s, m_chunk);
        ok = q.exec();
        if (!ok)
            m_error = q.lastError();
        m_structure = q.record();
        m_rows.resize(size_t(std::max(m_total, m_chunk)));
        // A first chunk that is not full is all there is, whatever the count said a
        // moment earlier.
        const int firstChunk = fill(q, 0);
        if (firstChunk < m_chunk)
            m_total = firstChunk;
        m_rows.resize(size_t(m_total));
    }
    if (ok) {
        m_fetched = std::min(m_total, m_chunk);
        for (int i = 0; i < m_structure.count(); ++i)
            m_typeNames.push_back(Tdm::fieldTypeName(m_structure.field(i)));
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

int TorzsModel::fill(db::Query& q, int first) const
{
    const int columns = q.fieldCount();
    int index = first;
    while (q.next()) {
        if (index < int(m_rows.size()) && !loaded(index)) {
            Row& row = m_rows[size_t(index)];
            row.reserve(size_t(columns));
            for (int i = 0; i < columns; ++i)
                row.push_back(q.value(i));
        }
        ++index;
    }
    return index - first;
}

bool TorzsModel::load(int first, int last) const
{
    const int from = std::max(0, first / m_chunk * m_chunk);
    const int to = std::min(m_total - 1, (last / m_chunk + 1) * m_chunk - 1);
    for (int i = from; i <= to; ++i) {
        if (loaded(i))
            continue;
        // Rows missing side by side come in one statement.
        int end = i;
        while (end < to && !loaded(end + 1))
            ++end;
        db::Query q(m_connection);
        q.setSql(chunkStatement());
        q.bind(u"mivo_from"_s, i + 1);
        q.bind(u"mivo_to"_s, end + 1);
        if (!q.exec()) {
            m_error = q.lastError();
            return false;
        }
        fill(q, i);
        i = end;
    }
    return true;
}

QString TorzsModel::fromValueStatement() const
{
    const std::optional<OrderColumn> order = firstOrderColumn();
    if (!order || order->descending)
        return {};
    return withCondition(order->name + u" >= :mivo_v"_s, u"ROWS 1 TO :mivo_to"_s);
}

bool TorzsModel::loadFrom(int start, const QVariant& value) const
{
    // Skipping to a row deep in the order walks every row before it; a record's own value
    // starts the walk where it is, on the order column's index.
    const QString statement = fromValueStatement();
    if (start <= 0 || start >= m_total || loaded(start) || value.isNull() || statement.isEmpty())
        return true;
    db::Query q(m_connection);
    q.setSql(statement);
    q.bind(u"mivo_v"_s, value);
    q.bind(u"mivo_to"_s, 2 * m_chunk);
    // Rows read already stay as they are.
    if (!q.exec()) {
        m_error = q.lastError();
        return false;
    }
    fill(q, start);
    return true;
}

QString TorzsModel::valueBeforeStatement() const
{
    const std::optional<OrderColumn> order = firstOrderColumn();
    if (!order || order->descending)
        return {};
    QStringList lines = withCondition(order->name + u" < :mivo_v"_s, {}).split(QLatin1Char('\n'));
    const int o = orderLineIndex(lines);
    lines[o] = u" ORDER BY "_s + order->name + u" DESC"_s;
    return lines.join(QLatin1Char('\n')) + u"\nROWS :mivo_to TO :mivo_to"_s;
}

QString TorzsModel::betweenStatement() const
{
    const std::optional<OrderColumn> order = firstOrderColumn();
    if (!order || order->descending)
        return {};
    QStringList lines =
        withCondition(order->name + u" >= :mivo_w AND "_s + order->name + u" < :mivo_v"_s, {})
            .split(QLatin1Char('\n'));
    lines.removeAt(orderLineIndex(lines));
    return u"SELECT COUNT(*) FROM (\n"_s + lines.join(QLatin1Char('\n')) + u"\n)"_s;
}

bool TorzsModel::loadBefore(int start, const QVariant& value) const
{
    // The rows just above a record deep in the order are drawn with it. Reading them from
    // its value backwards (a descending index) would not keep the order of equal values, so
    // only the value a chunk above is read that way; the rows are read forwards from it.
    const QString statement = valueBeforeStatement();
    if (start <= m_chunk || start >= m_total || loaded(start - 1) || value.isNull() ||
        statement.isEmpty())
        return true;
    db::Query back(m_connection);
    back.setSql(statement);
    back.bind(u"mivo_v"_s, value);
    back.bind(u"mivo_to"_s, m_chunk);
    if (!back.exec()) {
        m_error = back.lastError();
        return false;
    }
    if (!back.first())
        return true;
    const QVariant above = back.value(firstOrderColumn()->name);
    if (above.isNull())
        return true;
    db::Query between(m_connection);
    between.setSql(betweenStatement());
    between.bind(u"mivo_w"_s, above);
    between.bind(u"mivo_v"_s, value);
    if (!between.exec() || !between.first()) {
        m_error = between.lastError();
        return false;
    }
    return loadFrom(start - between.value(0).toInt(), above);
}

const TorzsModel::Row* TorzsModel::row(int index) const
{
    if (index < 0 || index >= m_total)
        return nullptr;
    if (!loaded(index) && !load(index, index))
        return nullptr;
    return loaded(index) ? &m_rows[size_t(index)] : nullptr;
}

int TorzsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_fetched;
}

int TorzsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_grid.size());
}

bool TorzsModel::canFetchMore(const QModelIndex& parent) const
{
    // Views asking from inside the model's own change signals wait for it to finish.
    return !parent.isValid() && m_fetched < m_total && !m_signalling;
}

void TorzsModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    fetchUpTo(m_fetched);
}

bool TorzsModel::fetchUpTo(int index)
{
    if (index < 0 || index >= m_total)
        return false;
    if (index < m_fetched)
        return true;
    if (m_signalling || !load(index, index))
        return false;
    const int to = std::min(m_total, (index / m_chunk + 1) * m_chunk);
    const QScopedValueRollback signalling(m_signalling, true);
    beginInsertRows({}, m_fetched, to - 1);
    m_fetched = to;
    endInsertRows();
    return true;
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
    const Row* r = row(index.row());
    return r ? panelText((*r)[size_t(column)], type, m_grid[index.column()].numberFormat)
             : QVariant();
}

QVariant TorzsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section >= 0 && section < m_grid.size() ? QVariant(m_grid[section].title) : QVariant();
}

QSqlRecord TorzsModel::record(int index) const
{
    if (index < 0 || index >= rowCount())
        return {};
    const Row* r = row(index);
    if (!r)
        return {};
    QSqlRecord record = m_structure;
    for (int i = 0; i < record.count(); ++i)
        record.setValue(i, (*r)[size_t(i)]);
    return record;
}

QVariant TorzsModel::value(int index, const QString& field) const
{
    const int column = m_structure.indexOf(field);
    const Row* r = index < rowCount() && column >= 0 ? row(index) : nullptr;
    return r ? (*r)[size_t(column)] : QVariant();
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

int TorzsModel::scanFrom(int from, const std::function<bool(const Row&)>& accepts)
{
    for (int i = std::max(0, from); i < m_total; ++i) {
        // A long scan reads a few chunks per statement.
        if (!loaded(i) && !load(i, std::min(m_total - 1, i + 8 * m_chunk - 1)))
            return -1;
        const Row* r = row(i);
        if (r && accepts(*r))
            return fetchUpTo(i) ? i : -1;
    }
    return -1;
}

int TorzsModel::positionOf(db::Query& found, const std::function<bool(const Row&)>& accepts)
{
    // Rows whose first order column orders before the found record's cannot be it: count
    // them, then look through the rows that tie with it.
    int start = 0;
    const std::optional<OrderColumn> order = firstOrderColumn();
    if (order && found.fieldIndex(order->name) >= 0) {
        const QVariant v = found.value(order->name);
        db::Query before(m_connection);
        before.setSql(positionStatement(v.isNull()));
        before.bind(u"mivo_v"_s, v);
        if (!before.exec() || !before.first()) {
            m_error = before.lastError();
            return -1;
        }
        start = before.value(0).toInt();
        if (!loadFrom(start, v) || !loadBefore(start, v))
            return -1;
    }
    const int row = scanFrom(start, accepts);
    // Only rows changed by another workstation since the count can put the record earlier.
    return row >= 0 || start == 0 ? row : scanFrom(0, accepts);
}

int TorzsModel::locate(const QStringList& fields, const QVariantList& values)
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
    int i = 0;
    for (; i < m_total && loaded(i); ++i) {
        const Row* r = row(i);
        if (r && accepts(*r))
            return fetchUpTo(i) ? i : -1;
    }
    if (i >= m_total)
        return -1;
    db::Query q(m_connection);
    q.setSql(locateStatement(fields, values));
    for (qsizetype k = 0; k < values.size(); ++k)
        if (!values[k].isNull())
            q.bind(u"mivo_k"_s + QString::number(k), values[k]);
    if (!q.exec()) {
        m_error = q.lastError();
        return -1;
    }
    if (!q.first())
        return -1;
    return positionOf(q, accepts);
}

int TorzsModel::scanSearch(int column, const QString& wanted)
{
    // The first row with the longest shared beginning, row by row over every record.
    if (m_total > 0 && !load(0, m_total - 1))
        return -1;
    const QString& type = m_typeNames[size_t(column)];
    int best = -1;
    qsizetype bestLength = 0;
    for (int i = 0; i < m_total; ++i) {
        const Row* r = row(i);
        if (!r)
            continue;
        const qsizetype n = sharedLength((*r)[size_t(column)], type, wanted);
        if (n > bestLength) {
            bestLength = n;
            best = i;
            if (n == wanted.size())
                break;
        }
    }
    return best >= 0 && fetchUpTo(best) ? best : -1;
}

int TorzsModel::search(const QString& field, const QString& text)
{
    const int column = m_structure.indexOf(field);
    if (column < 0 || text.isEmpty())
        return -1;
    const QString wanted = text.toCaseFolded();
    const QString statement = searchStatement(field);
    if (statement.isEmpty())
        return scanSearch(column, wanted);
    const QString& type = m_typeNames[size_t(column)];
    // The first row with the longest shared beginning is the first row in the order that
    // begins with the longest beginning of the text that any row begins with.
    QString failure;
    for (qsizetype length = text.size(); length > 0; --length) {
        db::Query q(m_connection);
        q.setSql(statement);
        q.bind(u"mivo_p"_s, upperPerCharacter(text.left(length)));
        if (!q.exec()) {
            // A beginning longer than the column does not fit its parameter.
            failure = q.lastError();
            continue;
        }
        if (!q.first())
            continue;
        const auto accepts = [&](const Row& r) {
            return sharedLength(r[size_t(column)], type, wanted) >= length;
        };
        const int row = positionOf(q, accepts);
        // The database's case rules and ours part only on rare letters: ours decide then.
        return row >= 0 ? row : scanSearch(column, wanted);
    }
    m_error = failure;
    return -1;
}

} // namespace mivo
