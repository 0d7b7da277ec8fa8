#pragma once

class QLineEdit;
class QString;
class QWidget;

namespace mivo
{

/// A line edit for a field of `length` characters, as wide as that many digits (up to
/// `widest`): short fields (dates, codes) keep that width, longer ones may grow.
QLineEdit* fieldEdit(const QString& name, int length, QWidget* parent, int widest = 60);

} // namespace mivo
