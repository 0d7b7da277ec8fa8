#include "workflowscreens.h"

#include "adatfelv2.h"

#include "core/screenregistry.h"

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

void registerWorkflowScreens(ScreenRegistry& registry)
{
    registry.addScreen(u"hibafelvetel"_s, u"Tadatfelv2fm"_s, u"U"_s,
                       [](QWidget* owner) { return new Tadatfelv2fm(owner); });
}

} // namespace mivo::workflow
