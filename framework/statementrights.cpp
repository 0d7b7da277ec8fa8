#include "statementrights.h"

#include "platform/dbquery.h"

#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

struct Token {
    enum Kind { Word, Quoted, Literal, Number, Symbol };
    Kind kind = Symbol;
    QString text; ///< words upper-cased, quoted names exact, symbols as written
};

bool identStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool identPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

// Splits a statement into tokens without comments. False when a comment, literal or quoted
// name is not closed.
bool tokenize(const QString& s, std::vector<Token>* tokens)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const QChar c = s[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const qsizetype end = s.indexOf(u"*/"_s, i + 2);
            if (end < 0)
                return false;
            i = end + 2;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            Token t;
            t.kind = c == QLatin1Char('\'') ? Token::Literal : Token::Quoted;
            ++i;
            for (;;) {
                if (i >= n)
                    return false;
                if (s[i] == c) {
                    if (i + 1 < n && s[i + 1] == c) {
                        t.text += c;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                t.text += s[i++];
            }
            tokens->push_back(t);
        } else if (identStart(c)) {
            Token t;
            t.kind = Token::Word;
            while (i < n && identPart(s[i]))
                t.text += s[i++];
            t.text = t.text.toUpper();
            tokens->push_back(t);
        } else if (c.isDigit()) {
            Token t;
            t.kind = Token::Number;
            while (i < n && (s[i].isLetterOrNumber() || s[i] == QLatin1Char('.')))
                t.text += s[i++];
            tokens->push_back(t);
        } else {
            tokens->push_back({Token::Symbol, QString(c)});
            ++i;
        }
    }
    return true;
}

bool isWord(const Token& t, const QString& word)
{
    return t.kind == Token::Word && t.text == word;
}

bool isName(const Token& t)
{
    return t.kind == Token::Word || t.kind == Token::Quoted;
}

bool isSymbol(const Token& t, QChar c)
{
    return t.kind == Token::Symbol && t.text == QString(c);
}

// Every table read by the statement from the token `from` on: sources after FROM and JOIN of
// each SELECT (sub-selects and derived tables included). FROM inside a function call
// (SUBSTRING, EXTRACT, TRIM) names no table: only a FROM at a nesting level that holds a
// SELECT does. False when the parentheses do not match.
bool collectReads(const std::vector<Token>& t, size_t from,
                  std::vector<StatementRights::Reference>* refs)
{
    struct Level {
        bool select = false;
        bool inFrom = false;
        bool expectTable = false;
    };
    static const QStringList joinWords = {u"INNER"_s, u"LEFT"_s,  u"RIGHT"_s,  u"FULL"_s,
                                          u"OUTER"_s, u"CROSS"_s, u"NATURAL"_s};
    static const QStringList fromEnds = {u"WHERE"_s, u"GROUP"_s, u"HAVING"_s, u"ORDER"_s,
                                         u"UNION"_s, u"ROWS"_s,  u"PLAN"_s,   u"FOR"_s,
                                         u"ON"_s,    u"USING"_s, u"WITH"_s};
    std::vector<Level> stack(1);
    for (size_t i = from; i < t.size(); ++i) {
        const Token& tok = t[i];
        Level& level = stack.back();
        if (isSymbol(tok, QLatin1Char('('))) {
            // In a source list a parenthesis holds a derived table (its SELECT starts afresh)
            // or sources of their own: both are read like the list itself.
            const bool source = level.inFrom && level.expectTable;
            level.expectTable = false;
            stack.push_back(source ? Level{true, true, true} : Level{});
            continue;
        }
        if (isSymbol(tok, QLatin1Char(')'))) {
            if (stack.size() == 1)
                return false;
            stack.pop_back();
            continue;
        }
        if (isSymbol(tok, QLatin1Char(','))) {
            if (level.inFrom)
                level.expectTable = true;
            continue;
        }
        if (tok.kind == Token::Word) {
            if (tok.text == u"SELECT"_s) {
                level = Level{true, false, false};
                continue;
            }
            if (tok.text == u"FROM"_s && level.select) {
                level.inFrom = true;
                level.expectTable = true;
                continue;
            }
            if (level.inFrom) {
                if (tok.text == u"JOIN"_s) {
                    level.expectTable = true;
                    continue;
                }
                if (joinWords.contains(tok.text))
                    continue;
                if (fromEnds.contains(tok.text)) {
                    // ON and USING leave the source list until its next comma or JOIN.
                    level.expectTable = false;
                    if (tok.text != u"ON"_s && tok.text != u"USING"_s)
                        level.inFrom = false;
                    continue;
                }
            }
        }
        if (level.inFrom && level.expectTable && isName(tok)) {
            refs->push_back({tok.text, u"SELECT"_s});
            level.expectTable = false;
        }
    }
    return stack.size() == 1;
}

} // namespace

bool StatementRights::analyse(const QString& statement, std::vector<Reference>* references)
{
    std::vector<Token> t;
    if (!tokenize(statement, &t))
        return false;
    if (!t.empty() && isSymbol(t.back(), QLatin1Char(';')))
        t.pop_back();
    if (t.empty())
        return false;
    // One statement only: a second one would run unchecked.
    if (std::any_of(t.begin(), t.end(), [](const Token& k) { return isSymbol(k, u';'); }))
        return false;
    const auto nameAt = [&](size_t i) { return i < t.size() && isName(t[i]); };
    size_t rest = 0;
    if (isWord(t[0], u"SELECT"_s)) {
        rest = 0;
    } else if (isWord(t[0], u"CREATE"_s)) {
        if (t.size() < 3 || !(isWord(t[1], u"TABLE"_s) || isWord(t[1], u"VIEW"_s)) || !nameAt(2))
            return false;
        rest = 3;
    } else if (isWord(t[0], u"DROP"_s)) {
        if (t.size() != 3 || !(isWord(t[1], u"TABLE"_s) || isWord(t[1], u"VIEW"_s)) || !nameAt(2))
            return false;
        // Only the builder's own temporary objects.
        if (!t[2].text.startsWith(u"TMP"_s))
            return false;
        references->push_back({t[2].text, u"DROP"_s});
        return true;
    } else if (isWord(t[0], u"UPDATE"_s)) {
        size_t target = 1;
        if (t.size() > 3 && isWord(t[1], u"OR"_s) && isWord(t[2], u"INSERT"_s) &&
            isWord(t[3], u"INTO"_s))
            target = 4;
        if (!nameAt(target))
            return false;
        references->push_back({t[target].text, u"UPDATE"_s});
        rest = target + 1;
    } else if (isWord(t[0], u"INSERT"_s)) {
        if (t.size() < 3 || !isWord(t[1], u"INTO"_s) || !nameAt(2))
            return false;
        references->push_back({t[2].text, u"INSERT"_s});
        rest = 3;
    } else if (isWord(t[0], u"DELETE"_s)) {
        if (t.size() < 3 || !isWord(t[1], u"FROM"_s) || !nameAt(2))
            return false;
        references->push_back({t[2].text, u"DELETE"_s});
        rest = 3;
    } else {
        return false;
    }
    return collectReads(t, rest, references);
}

bool StatementRights::CheckStatementRights(const QString& table, const QString& kind)
{
    const QString k = kind.toUpper();
    if (k.startsWith(u"CREATE"_s))
        return true;
    if (k.startsWith(u"ALTER"_s))
        return false;
    db::Query q(m_connection);
    q.setSql(u"select NEZHETI_JOG,IRHATJA_JOG,TOROLHET_JOG\nfrom tablak where TABLANEV=:NEV"_s);
    q.bind(u"NEV"_s, table);
    if (!q.exec()) {
        m_error = q.lastError();
        return false;
    }
    if (!q.first())
        return true;
    if (k.startsWith(u"DROP"_s))
        return false;
    const QString required = k == u"SELECT"_s   ? q.text(u"NEZHETI_JOG"_s)
                             : k == u"DELETE"_s ? q.text(u"TOROLHET_JOG"_s)
                                                : q.text(u"IRHATJA_JOG"_s);
    if (required.isEmpty())
        return true;
    return std::any_of(required.begin(), required.end(),
                       [this](QChar c) { return m_jogok.contains(c); });
}

bool StatementRights::allowed(const QString& statement)
{
    m_error.clear();
    std::vector<Reference> refs;
    if (!analyse(statement, &refs))
        return false;
    return std::all_of(refs.begin(), refs.end(), [this](const Reference& r) {
        return CheckStatementRights(r.table, r.kind);
    });
}

} // namespace mivo
