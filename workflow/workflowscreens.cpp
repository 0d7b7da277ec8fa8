#include "workflowscreens.h"

#include "adatfelv2.h"
#include "alkeszgen.h"
#include "elvegez.h"

#include "core/screenregistry.h"

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

void registerWorkflowScreens(ScreenRegistry& registry)
{
    registry.addScreen(u"hibafelvetel"_s, u"Tadatfelv2fm"_s, u"U"_s,
                       [](QWidget* owner) { return new Tadatfelv2fm(owner); });
    // Both completion items share one screen; each opening sets its mode.
    registry.addScreen(u"munkazaras"_s, u"Telvegezfm"_s, u"KI"_s,
                       [](QWidget* owner) { return new Telvegezfm(owner); });
    registry.addScreen(u"okmunkajavit"_s, u"Telvegezfm"_s, u"OK"_s,
                       [](QWidget* owner) { return new Telvegezfm(owner); });
    registry.addScreen(
        u"alkkeszgen"_s, u"Talkeszgenfm"_s, {},
        [](QWidget* owner) { return new Talkeszgenfm(owner); }, true);
}

} // namespace mivo::workflow
