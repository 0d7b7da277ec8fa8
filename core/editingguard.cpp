#include "editingguard.h"

#include "messages.h"

using namespace Qt::StringLiterals;

namespace mivo
{

bool EditingGuard::refuse() const
{
    if (!m_editing)
        return false;
    messages::show(u"Fejezze be a mostani adatbevitelt! (Tárolás / Mégsem)"_s);
    return true;
}

} // namespace mivo
