#include "dbquery.h"

#include "dbconnection.h"
#include "sqltext.h"

#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>

namespace mivo::db
{

namespace
{

QVariant trimmed(const QVariant& v)
{
    if (v.typeId() == QMetaType::QString && !v.isNull()) {
        QString s = v.toString();
        qsizetype end = s.size();
        while (end > 0 && s[end - 1] == QLatin1Char(' '))
            --end;
        if (end != s.size())
            return QVariant(s.left(end));
    }
    return v;
}

} // namespace

Query::Query(const QString& connectionName) : m_connection(connectionName) {}

void Query::setSql(const QString& sql)
{
    m_lines = sql.split(QLatin1Char('\n'));
}

void Query::bind(const QString& name, const QVariant& value)
{
    QString key = name.toLower();
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    m_values[key] = value;
}

bool Query::exec()
{
    return run(false);
}

bool Query::execForward()
{
    return run(true);
}

bool Query::run(bool forward)
{
    close();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen()) {
        fail(QStringLiteral("Az adatbázis kapcsolat nincs megnyitva: ") + m_connection);
        return false;
    }
    QString text = sql();
    QStringList names;
    if (m_paramCheck) {
        PositionalSql positional = toPositional(text);
        text = positional.sql;
        names = positional.parameters;
    }
    // The same text runs again on the statement prepared last time (bulk inserts), unless
    // the transaction it was prepared in has ended: its handle is dead then.
    const quint64 generation = transactionState(m_connection).generation;
    if (text != m_preparedText || m_query.driver() != db.driver() ||
        generation != m_preparedGeneration) {
        m_preparedText.clear();
        m_query = QSqlQuery(db);
        m_query.setForwardOnly(true);
        ++m_prepareCount;
        if (!m_query.prepare(text)) {
            fail(errorText(m_query.lastError()), errorCode(m_query.lastError()));
            return false;
        }
        m_preparedText = text;
        m_preparedGeneration = generation;
    }
    for (int i = 0; i < names.size(); ++i) {
        const auto it = m_values.find(names[i]);
        if (it == m_values.end()) {
            fail(QStringLiteral("Hiányzó paraméter: ") + names[i]);
            return false;
        }
        m_query.bindValue(i, it->second);
    }
    if (!m_query.exec()) {
        fail(errorText(m_query.lastError()), errorCode(m_query.lastError()));
        releaseResult();
        return false;
    }
    m_active = true;
    // The driver knows the count for data changes only (and complains about others).
    static const QRegularExpression dml(QStringLiteral("^\\s*(INSERT|UPDATE|DELETE|MERGE)\\b"),
                                        QRegularExpression::CaseInsensitiveOption);
    const bool changesData = dml.match(text).hasMatch();
    if (!m_query.isSelect()) {
        m_rowsAffected = changesData ? m_query.numRowsAffected() : 0;
        return true;
    }

    m_record = m_query.record();
    m_forward = forward;
    if (forward)
        return true;
    const int columns = m_record.count();
    // "... RETURNING" gives one row, which the driver would hand out for ever.
    while ((!changesData || m_rows.empty()) && m_query.next()) {
        std::vector<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.push_back(trimmed(m_query.value(c)));
        m_rows.push_back(std::move(row));
    }
    if (m_query.lastError().isValid()) {
        fail(errorText(m_query.lastError()), errorCode(m_query.lastError()));
        releaseResult();
        m_active = false;
        return false;
    }
    if (changesData)
        m_rowsAffected = int(m_rows.size());
    releaseResult();
    return true;
}

void Query::fail(const QString& text, int code)
{
    m_error = text;
    m_errorCode = code;
}

QVariant Query::insertReturning()
{
    if (!exec())
        return {};
    if (!first()) {
        m_error = QStringLiteral("A beszúrás nem adott vissza kulcsot.");
        return {};
    }
    return value(0);
}

int Query::recordCount() const
{
    return m_forward ? -1 : int(m_rows.size());
}

bool Query::first()
{
    if (m_forward)
        return m_row < 0 && next();
    m_row = m_rows.empty() ? -1 : 0;
    return m_row == 0;
}

bool Query::next()
{
    if (m_forward) {
        if (m_query.next()) {
            ++m_row;
            return true;
        }
        m_row = -2;
        releaseResult();
        return false;
    }
    if (m_row + 1 >= int(m_rows.size())) {
        m_row = int(m_rows.size());
        return false;
    }
    ++m_row;
    return true;
}

bool Query::seek(int row)
{
    if (m_forward || row < 0 || row >= int(m_rows.size()))
        return false;
    m_row = row;
    return true;
}

bool Query::eof() const
{
    if (m_forward)
        return m_row == -2;
    return m_row < 0 ? m_rows.empty() : m_row >= int(m_rows.size());
}

QVariant Query::rowValue(int column) const
{
    if (column < 0 || column >= m_record.count())
        return {};
    if (m_forward)
        return m_row >= 0 ? trimmed(m_query.value(column)) : QVariant();
    if (m_row < 0 || m_row >= int(m_rows.size()))
        return {};
    return m_rows[m_row][column];
}

QVariant Query::value(int column) const
{
    return rowValue(column);
}

QVariant Query::value(const QString& field) const
{
    return rowValue(m_record.indexOf(field));
}

QString Query::text(const QString& field) const
{
    const QVariant v = value(field);
    if (v.isNull())
        return {};
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString().trimmed();
}

void Query::releaseResult()
{
    // Inside the transaction the statement was prepared in, the snapshot is that
    // transaction's: the statement stays prepared for the next execution.
    const TransactionState state = transactionState(m_connection);
    if (state.open && state.generation == m_preparedGeneration && !m_preparedText.isEmpty()) {
        m_query.finish();
        return;
    }
    // Otherwise the driver keeps a select's own transaction (its snapshot, and the rows of
    // an "INSERT ... RETURNING") open until the statement object goes: drop it, so that the
    // work is committed and the next execution sees what others committed since.
    m_query = QSqlQuery();
    m_preparedText.clear();
}

void Query::close()
{
    if (m_forward && m_query.isActive())
        releaseResult();
    m_record = QSqlRecord();
    m_rows.clear();
    m_active = false;
    m_forward = false;
    m_row = -1;
    m_rowsAffected = -1;
    m_error.clear();
    m_errorCode = 0;
}

namespace
{

Query prepared(const QString& connectionName, const QString& sql,
               const std::map<QString, QVariant>& params)
{
    Query q(connectionName);
    q.setSql(sql);
    for (const auto& [name, value] : params)
        q.bind(name, value);
    return q;
}

} // namespace

bool execute(const QString& connectionName, const QString& sql,
             const std::map<QString, QVariant>& params, QString* error)
{
    Query q = prepared(connectionName, sql, params);
    const bool ok = q.exec();
    if (!ok && error)
        *error = q.lastError();
    return ok;
}

QVariant scalar(const QString& connectionName, const QString& sql,
                const std::map<QString, QVariant>& params, QString* error)
{
    Query q = prepared(connectionName, sql, params);
    if (!q.exec() || !q.first()) {
        if (error)
            *error = q.lastError();
        return {};
    }
    return q.value(0);
}

} // namespace mivo::db
