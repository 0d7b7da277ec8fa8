#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace mivo::report
{

struct TextStyle;

/// The font a text style prints in (DejaVu Sans, or DejaVu Sans Mono for fixed pitch),
/// unhinted so that its widths do not depend on the device's resolution.
QFont fontFor(const TextStyle& style);

/// Height in report units of one printed line of the style.
double lineHeight(const TextStyle& style);

/// The text broken into the lines that fit a width in report units: at its own line breaks,
/// then at word boundaries (inside a word only when the word alone is wider). Never empty:
/// an empty text is one empty line.
QStringList wrapText(const QString& text, double width, const TextStyle& style);

} // namespace mivo::report
