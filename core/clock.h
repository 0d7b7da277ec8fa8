#pragma once

#include <QDateTime>

namespace mivo::clock
{

/// The current date and time of the program. Everything that needs "today" or "now"
/// reads it here, so that tests can fix it.
QDateTime now();
QDate today();

/// Fixes the clock at a moment (tests); an invalid moment returns to the system clock.
void set(const QDateTime& moment);

} // namespace mivo::clock
