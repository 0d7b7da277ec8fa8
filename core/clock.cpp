#include "clock.h"

namespace mivo::clock
{

namespace
{
QDateTime& fixed()
{
    static QDateTime moment;
    return moment;
}
} // namespace

QDateTime now()
{
    return fixed().isValid() ? fixed() : QDateTime::currentDateTime();
}

QDate today()
{
    return now().date();
}

void set(const QDateTime& moment)
{
    fixed() = moment;
}

} // namespace mivo::clock
