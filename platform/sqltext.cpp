#include "sqltext.h"

#include <QRegularExpression>

namespace mivo::db
{

QString literal(const QString& value)
{
    QString doubled = value;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

namespace
{

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Index just past a quoted run that starts at i (the opening quote); doubled quotes stay inside.
qsizetype skipQuoted(const QString& s, qsizetype i)
{
    const QChar quote = s[i];
    for (++i; i < s.size(); ++i) {
        if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return s.size();
}

} // namespace

PositionalSql toPositional(const QString& sql)
{
    PositionalSql out;
    out.sql.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = skipQuoted(sql, i);
            out.sql += sql.mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('-') && sql.mid(i, 2) == QLatin1String("--")) {
            qsizetype end = sql.indexOf(QLatin1Char('\n'), i);
            if (end < 0)
                end = sql.size();
            out.sql += sql.mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('/') && sql.mid(i, 2) == QLatin1String("/*")) {
            qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? sql.size() : end + 2;
            out.sql += sql.mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char(':') && i + 1 < sql.size() && isNameStart(sql[i + 1]) &&
                   (i == 0 || sql[i - 1] != QLatin1Char(':'))) {
            qsizetype end = i + 1;
            while (end < sql.size() && isNameChar(sql[end]))
                ++end;
            out.parameters << sql.mid(i + 1, end - i - 1).toLower();
            out.sql += QLatin1Char('?');
            i = end;
        } else {
            out.sql += c;
            ++i;
        }
    }
    return out;
}

QStringList splitScript(const QString& script)
{
    static const QRegularExpression setTerm(
        QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*(\\S+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList statements;
    QString terminator = QStringLiteral(";");
    QString current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        line.remove(QLatin1Char('\r'));
        if (current.trimmed().isEmpty() && line.trimmed().startsWith(QLatin1String("--")))
            continue;
        // "SET TERM ^ ;" ends with the old terminator; the new one is its first word.
        if (const auto m = setTerm.match(line); m.hasMatch() && current.trimmed().isEmpty()) {
            QString word = m.captured(1);
            if (word.endsWith(terminator) && word.size() > terminator.size())
                word.chop(terminator.size());
            terminator = word;
            continue;
        }
        const QString trimmedRight = line.trimmed();
        if (trimmedRight.endsWith(terminator)) {
            current += line.left(line.lastIndexOf(terminator));
            if (!current.trimmed().isEmpty())
                statements << current.trimmed();
            current.clear();
        } else {
            current += line + QLatin1Char('\n');
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

} // namespace mivo::db
