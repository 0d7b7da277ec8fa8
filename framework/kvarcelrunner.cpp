#include "kvarcelrunner.h"

#include "kvarcelhistory.h"
#include "kvarcelperiod.h"
#include "statementrights.h"

#include "core/clock.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "platform/unitofwork.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QThread>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

const QString denied = u"Erre Önnek nincs jogosultsaga"_s;

// Whether the statement defines or drops an object (the temporary tables and views).
bool isDefinition(const QString& statement)
{
    static const QRegularExpression definition(u"^\\s*(CREATE|RECREATE|ALTER|DROP)\\b"_s,
                                               QRegularExpression::CaseInsensitiveOption);
    return definition.match(statement).hasMatch();
}

// What one statement did: rows (affected or read), the SELECT's result, or the failure.
struct Executed {
    bool ok = false;
    int rows = 0;
    std::unique_ptr<db::Query> select;
    QString error;
};

// Runs a statement on a query of its own. On Firebird a definition runs in a transaction of
// its own (db::executeDefinition): definitions of two workstations at once can conflict at
// the commit, which is rolled back and run again on a fresh snapshot after a short pause,
// as a unit of work is.
Executed execute(const QString& connection, const QString& text, bool select)
{
    Executed done;
    if (!select && isDefinition(text) &&
        QSqlDatabase::database(connection, false).driverName() == u"QIBASE"_s) {
        const db::RetryPolicy policy;
        int pauseMs = policy.firstPauseMs;
        for (int attempt = 1;; ++attempt) {
            int code = 0;
            done.ok = db::executeDefinition(connection, text, &done.error, &code);
            if (done.ok || code != db::UpdateConflictCode || attempt >= policy.attempts)
                return done;
            const int spread = pauseMs / 2;
            QThread::msleep(
                ulong(pauseMs - spread + int(QRandomGenerator::global()->bounded(2 * spread + 1))));
            pauseMs = std::min(2 * pauseMs, policy.maxPauseMs);
        }
    }
    auto q = std::make_unique<db::Query>(connection);
    q->setParamCheck(false);
    q->setSql(text);
    done.ok = q->exec();
    if (!done.ok) {
        done.error = q->lastError();
        return done;
    }
    done.rows = select ? q->recordCount() : q->rowsAffected();
    if (select)
        done.select = std::move(q);
    return done;
}

} // namespace

QString ScriptReader::replaceParameters(const QString& line) const
{
    if (!line.contains(QLatin1Char(':')))
        return line;
    QString out = line;
    for (int i = 0; i < 9; ++i)
        out.replace(u":qv"_s + QString::number(i + 1), m_variables[size_t(i)], Qt::CaseInsensitive);
    const QDate today = clock::today();
    const auto kw = [&](const char16_t* keyword) {
        return m_keywords.value(QString::fromUtf16(keyword), today);
    };
    const std::pair<QString, QString> parameters[] = {
        {u":qpdatum"_s, today.toString(u"yyyy.MM.dd"_s)},
        {u":qphotol"_s, kw(u"%januar%")},
        {u":qphoig"_s, kw(u"%aktho%")},
        {u":qpev"_s, kw(u"%ev%")},
        {u":qpmultho"_s, kw(u"%zartho%")},
        {u":qphoeleje"_s, kw(u"%akthoeleje%")},
        {u":qphovege"_s, kw(u"%akthovege%")},
        {u":qpm_hoeleje"_s, kw(u"%zarthoeleje%")},
        {u":qpm_hovege"_s, kw(u"%zarthovege%")},
        {u":qphokozepe"_s, kw(u"%akthovege%").left(7) + u".15"_s},
    };
    for (const auto& [name, value] : parameters)
        out.replace(name, value, Qt::CaseInsensitive);
    return out;
}

std::vector<ScriptStatement> ScriptReader::read(const QStringList& input)
{
    QStringList lines = input;
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    std::vector<ScriptStatement> statements;
    ScriptStatement current;
    bool comment = false;
    bool quoted = false;
    static const QRegularExpression let(u"^LET\\b"_s, QRegularExpression::CaseInsensitiveOption);
    for (const QString& raw : lines) {
        // Comments may span lines; quotes keep "/*" inside a literal as text.
        QString line;
        for (qsizetype i = 0; i < raw.size();) {
            const QChar c = raw[i];
            if (comment) {
                if (c == QLatin1Char('*') && i + 1 < raw.size() && raw[i + 1] == QLatin1Char('/')) {
                    comment = false;
                    i += 2;
                } else {
                    ++i;
                }
            } else if (quoted) {
                quoted = c != QLatin1Char('\'');
                line += c;
                ++i;
            } else if (c == QLatin1Char('\'')) {
                quoted = true;
                line += c;
                ++i;
            } else if (c == QLatin1Char('/') && i + 1 < raw.size() &&
                       raw[i + 1] == QLatin1Char('*')) {
                comment = true;
                i += 2;
            } else {
                line += c;
                ++i;
            }
        }
        qsizetype lead = 0;
        while (lead < line.size() && line[lead].isSpace())
            ++lead;
        line.remove(0, lead);
        if (let.match(line).hasMatch()) {
            const QString rest = line.mid(3).trimmed();
            const qsizetype eq = rest.indexOf(QLatin1Char('='));
            if (eq > 0) {
                const QString name = rest.left(eq).trimmed().toUpper();
                static const QRegularExpression variable(u"^QV([1-9])$"_s);
                if (const auto m = variable.match(name); m.hasMatch())
                    m_variables[size_t(m.captured(1).toInt() - 1)] = rest.mid(eq + 1).trimmed();
            }
            continue;
        }
        line = replaceParameters(line);
        if (line.trimmed().isEmpty())
            continue;
        current.lines << line;
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            statements.push_back(current);
            current.lines.clear();
        }
    }
    if (!current.lines.isEmpty())
        statements.push_back(current);
    return statements;
}

void TemporaryObjects::set(const QString& resultTable, const QStringList& restrictedSources,
                           bool paradox)
{
    m_result = resultTable;
    m_sources = restrictedSources;
    m_paradox = paradox;
}

void TemporaryObjects::defer(const QStringList& tables)
{
    for (const QString& t : tables)
        if (!m_deferred.contains(t))
            m_deferred << t;
}

void TemporaryObjects::drop()
{
    if (!m_result.isEmpty()) {
        if (m_keep || !execute(m_connection, u"drop table "_s + m_result, false).ok)
            defer({m_result});
    }
    for (const QString& source : m_sources)
        execute(m_connection, (m_paradox ? u"drop table "_s : u"drop view "_s) + source, false);
    m_result.clear();
    m_sources.clear();
}

void TemporaryObjects::dropDeferred()
{
    for (const QString& table : m_deferred)
        execute(m_connection, u"Drop Table "_s + table, false);
    m_deferred.clear();
}

QString ScriptRunner::resultText(int counter, int rows, const QString& kind)
{
    return QString::number(counter).rightJustified(5) + u".:"_s +
           QString::number(rows).leftJustified(8) + u" "_s + kind;
}

QString ScriptRunner::kindOf(const QString& statement)
{
    const QStringList words = statement.simplified().split(QLatin1Char(' '));
    QString kind = words.value(0).toUpper();
    if ((kind == u"DROP"_s || kind == u"CREATE"_s) && words.size() > 1)
        kind += u" "_s + words[1].toUpper();
    return kind;
}

QString ScriptRunner::executable(const ScriptStatement& statement)
{
    QStringList lines = statement.lines;
    if (!lines.isEmpty()) {
        QString& last = lines.back();
        const qsizetype end = last.lastIndexOf(QLatin1Char(';'));
        if (end >= 0 && last.mid(end + 1).trimmed().isEmpty())
            last.truncate(end);
    }
    QStringList kept;
    for (const QString& line : lines)
        if (!line.trimmed().isEmpty())
            kept << line.trimmed();
    return kept.join(QLatin1Char('\n'));
}

RunOutcome ScriptRunner::run(const std::vector<ScriptStatement>& statements)
{
    RunOutcome outcome;
    std::vector<QString> texts;
    for (const ScriptStatement& s : statements) {
        const QString text = executable(s);
        if (!text.isEmpty())
            texts.push_back(text);
    }
    if (texts.empty())
        return outcome;
    if (m_rights)
        for (const QString& text : texts)
            if (!m_rights->allowed(text)) {
                outcome.status = RunOutcome::Status::Denied;
                outcome.message = denied;
                if (!m_rights->lastError().isEmpty())
                    outcome.message += u"\n"_s + m_rights->lastError();
                if (m_objects)
                    m_objects->set({}, {}, false);
                return outcome;
            }
    int counter = 0;
    for (const QString& text : texts) {
        const QString kind = kindOf(text);
        if (m_shown)
            m_shown(text);
        ++counter;
        // Each statement on a query of its own, released before the next: a prepared
        // statement would keep the temporary tables in use and their drop would fail.
        const bool select = kind == u"SELECT"_s;
        Executed done = execute(m_connection, text, select);
        if (!done.ok) {
            outcome.status = RunOutcome::Status::Failed;
            outcome.message = u"Hibás sql utasítás.\n"_s + done.error;
            if (m_history)
                m_history->result(u"HIBA"_s);
            if (m_objects)
                m_objects->drop();
            return outcome;
        }
        const int rows = done.rows;
        if (select)
            outcome.result = std::move(done.select);
        outcome.resultText = resultText(counter, rows, kind);
        outcome.log << QString::number(counter) + u".:"_s + QString::number(rows) + u" "_s + kind;
        outcome.executed = counter;
        if (m_history)
            m_history->result(outcome.resultText);
        if (m_progress)
            m_progress(counter, int(texts.size()));
    }
    if (m_objects)
        m_objects->drop();
    outcome.status = RunOutcome::Status::Done;
    return outcome;
}

} // namespace mivo::kvarcel
