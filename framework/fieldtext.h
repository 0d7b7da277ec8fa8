#pragma once

#include <QString>
#include <QVariant>

namespace mivo
{

/// A column value as a panel input shows it, also the form in which changes are detected
/// and logged: null is empty, integers plain, FLOAT through the field's number format (a
/// decimal comma without one), booleans "T"/"F", memos as their text, dates "yyyy.mm.dd".
QString panelText(const QVariant& value, const QString& typeName, const QString& numberFormat = {});

} // namespace mivo
