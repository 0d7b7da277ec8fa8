#pragma once

#include <QString>

/// Names of the controls of a built panel: every control is found again by name.
namespace mivo::panelname
{

inline QString caption(const QString& key)
{
    return QStringLiteral("L_") + key;
}
inline QString input(const QString& field)
{
    return QStringLiteral("E_") + field;
}
inline QString button(const QString& key)
{
    return QStringLiteral("B_") + key;
}
inline QString info(const QString& field)
{
    return QStringLiteral("PF1_") + field;
}

/// The field an input or button belongs to ("E_NEV" → "NEV"); empty for other names.
inline QString fieldOf(const QString& controlName)
{
    if (controlName.startsWith(QLatin1String("E_")) || controlName.startsWith(QLatin1String("B_")))
        return controlName.mid(2);
    return {};
}

} // namespace mivo::panelname
