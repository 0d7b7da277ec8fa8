#include "tablefields.h"

#include "codepage.h"

#include <QSet>

namespace mivo::data
{

QList<QByteArray> tableFieldNames(const std::vector<Column>& columns, int maxLength)
{
    QList<QByteArray> names;
    QSet<QByteArray> used;
    for (const Column& c : columns) {
        QByteArray name;
        for (QChar ch : c.name.toUpper())
            name += (ch.unicode() < 128 && (ch.isLetterOrNumber() || ch == QLatin1Char('_')))
                        ? char(ch.unicode())
                        : '_';
        if (name.isEmpty())
            name = "F";
        name.truncate(maxLength);
        for (int n = 1; used.contains(name); ++n) {
            const QByteArray mark = QByteArray::number(n);
            name = name.left(maxLength - mark.size()) + mark;
        }
        used.insert(name);
        names << name;
    }
    return names;
}

QByteArray tableText(const QVariant& value, FieldKind kind, int maxBytes)
{
    // Windows-1250 has one byte per character: the cut never splits one.
    return toWindows1250(displayText(value, kind)).left(maxBytes);
}

} // namespace mivo::data
