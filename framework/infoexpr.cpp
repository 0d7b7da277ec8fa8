#include "infoexpr.h"

#include "alapdat.h"
#include "platform/dbquery.h"

namespace mivo
{

InfoExpression InfoExpression::parse(const QString& text)
{
    InfoExpression e;
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    const qsizetype comma = text.indexOf(QLatin1Char(','), dot + 1);
    if (dot < 0 || comma < 0)
        return e;
    const QString keys = text.mid(comma + 1);
    const qsizetype equals = keys.indexOf(QLatin1Char('='));
    if (equals < 0)
        return e;
    e.table = text.left(dot).trimmed();
    QString select = text.mid(dot + 1, comma - dot - 1);
    const qsizetype at = select.indexOf(QLatin1Char('@'));
    e.resultColumn = (at < 0 ? select : select.mid(at + 1)).trimmed();
    e.selectList = select.replace(QLatin1Char('@'), QLatin1Char(' ')).trimmed();
    const QStringList infoColumns = keys.left(equals).split(QLatin1Char('+'));
    const QStringList recordColumns = keys.mid(equals + 1).split(QLatin1Char('+'));
    for (qsizetype i = 0; i < qMin(infoColumns.size(), recordColumns.size()); ++i)
        e.pairs.append({infoColumns[i].trimmed(), recordColumns[i].trimmed()});
    e.valid = !e.table.isEmpty() && !e.selectList.isEmpty() && !e.pairs.isEmpty();
    return e;
}

QStringList InfoExpression::statement() const
{
    QStringList conditions;
    for (qsizetype i = 0; i < pairs.size(); ++i)
        conditions << pairs[i].first + QStringLiteral(" = :k") + QString::number(i);
    return {QStringLiteral("Select ") + selectList, QStringLiteral(" from ") + table,
            QStringLiteral("Where ") + conditions.join(QStringLiteral(" and "))};
}

QString joinDistinct(const QStringList& values)
{
    QStringList shown;
    for (const QString& value : values)
        if (!value.isEmpty() && !shown.contains(value))
            shown << value;
    return shown.join(QStringLiteral(", "));
}

bool infoText(const InfoExpression& expression,
              const std::function<QVariant(const QString&)>& recordValue, QString* text,
              QString* error)
{
    text->clear();
    if (!expression.valid)
        return true;
    db::Query q(Tdm::connectionName);
    q.setLines(expression.statement());
    for (qsizetype i = 0; i < expression.pairs.size(); ++i)
        q.bind(QStringLiteral("k") + QString::number(i), recordValue(expression.pairs[i].second));
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return false;
    }
    QStringList values;
    while (q.next())
        values << q.text(expression.resultColumn);
    *text = joinDistinct(values);
    return true;
}

} // namespace mivo
