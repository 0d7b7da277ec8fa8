#include "torzsentry.h"

namespace mivo::torzs
{

Spec parseSpec(const QString& written)
{
    const QString tableSpec = written.trimmed().toUpper();
    Spec s;
    const qsizetype comma = tableSpec.indexOf(QLatin1Char(','));
    const qsizetype plus = tableSpec.indexOf(QLatin1Char('+'));
    if (comma >= 0) {
        s.table = tableSpec.left(comma).trimmed();
        s.module = tableSpec.mid(comma + 1).trimmed();
        s.rightsName = written.trimmed();
    } else if (plus >= 0) {
        s.table = tableSpec.left(plus).trimmed();
        s.module = s.table;
        s.secondModule = tableSpec.mid(plus + 1).trimmed();
        s.rightsName = s.table;
    } else {
        s.table = tableSpec;
        s.module = tableSpec;
        s.rightsName = tableSpec;
    }
    return s;
}

QString editorName(const Spec& tableSpec)
{
    return tableSpec.table + QLatin1Char('_') + tableSpec.module + QStringLiteral("_Torzsfm");
}

QString normaliseCondition(const QString& argument)
{
    const QString c = argument.trimmed();
    if (!c.isEmpty() && c.left(5).toUpper() != QLatin1String("WHERE"))
        return QStringLiteral("WHERE ") + c;
    return c;
}

WindowState windowState(const QString& tableValue, const QString& configured)
{
    const QString value =
        (tableValue.trimmed().isEmpty() ? configured : tableValue).trimmed().toUpper();
    if (value == QLatin1String("NORMAL"))
        return WindowState::Normal;
    if (value == QLatin1String("MAXIMIZED"))
        return WindowState::Maximized;
    if (value == QLatin1String("MINIMIZED"))
        return WindowState::Minimized;
    return WindowState::Keep;
}

bool needsRequery(bool previousRequery, bool rebuild, const QString& searchText,
                  const QString& newCondition, const QString& previousCondition)
{
    return previousRequery || rebuild || searchText == reopenText ||
           normaliseCondition(newCondition) != previousCondition.trimmed();
}

} // namespace mivo::torzs
