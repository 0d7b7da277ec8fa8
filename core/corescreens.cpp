#include "corescreens.h"

#include "iniedit.h"
#include "screenregistry.h"

using namespace Qt::StringLiterals;

namespace mivo
{

void registerCoreScreens(ScreenRegistry& registry)
{
    registry.addCommand(u"beallitasok"_s, [](QWidget* owner) {
        Tiniedit editor(owner);
        editor.exec();
    });
}

} // namespace mivo
