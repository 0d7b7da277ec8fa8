#include "workflowscreens.h"

#include "adatfelv.h"
#include "adatfelv2.h"
#include "alkeszgen.h"
#include "elozmeny.h"
#include "elvegez.h"
#include "kiesofm.h"
#include "kulsos.h"
#include "tevlistfm.h"
#include "totallistfm.h"
#include "tulajvalt.h"

#include "core/screenregistry.h"

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

void registerWorkflowScreens(ScreenRegistry& registry)
{
    registry.addScreen(u"hibafelvetel"_s, u"Tadatfelv2fm"_s, u"U"_s,
                       [](QWidget* owner) { return new Tadatfelv2fm(owner); });
    // The three job lists share one form.
    const auto jobLists = [](QWidget* owner) { return new Tadatfelvfm(owner); };
    registry.addScreen(u"kiosztas"_s, u"Tadatfelvfm"_s, u"M"_s, jobLists);
    registry.addScreen(u"zartajto"_s, u"Tadatfelvfm"_s, u"Z"_s, jobLists);
    registry.addScreen(u"Folyamatban"_s, u"Tadatfelvfm"_s, u"F"_s, jobLists);
    // Both completion items share one screen; each opening sets its mode.
    registry.addScreen(u"munkazaras"_s, u"Telvegezfm"_s, u"KI"_s,
                       [](QWidget* owner) { return new Telvegezfm(owner); });
    registry.addScreen(u"okmunkajavit"_s, u"Telvegezfm"_s, u"OK"_s,
                       [](QWidget* owner) { return new Telvegezfm(owner); });
    registry.addScreen(
        u"alkkeszgen"_s, u"Talkeszgenfm"_s, {},
        [](QWidget* owner) { return new Talkeszgenfm(owner); }, true);
    // The absence screen's three items share one instance; each opening sets its mode.
    const auto absence = [](QWidget* owner) { return new Tkiesofm(owner); };
    registry.addScreen(u"szerelokiesoido"_s, u"Tkiesofm"_s, u"M"_s, absence);
    registry.addScreen(u"napilista"_s, u"Tkiesofm"_s, u"L"_s, absence);
    registry.addScreen(u"kiesolista"_s, u"Tkiesofm"_s, u"K"_s, absence);
    registry.addScreen(u"tevekenyseglista"_s, u"Ttevlistfm"_s, {},
                       [](QWidget* owner) { return new Ttevlistfm(owner); });
    registry.addScreen(u"Teljestevkenysglista1"_s, u"Ttotallistfm"_s, {},
                       [](QWidget* owner) { return new Ttotallistfm(owner); });
    registry.addScreen(
        u"elozmenylista"_s, u"Telozmenyfm"_s, {},
        [](QWidget* owner) { return new Telozmenyfm(owner); }, true);
    registry.addScreen(
        u"kulsosmunka"_s, u"Tkulsosfm"_s, {}, [](QWidget* owner) { return new Tkulsosfm(owner); },
        true);
    registry.addScreen(u"Kszlkek1"_s, u"Ttulajvaltfm"_s, {},
                       [](QWidget* owner) { return new Ttulajvaltfm(owner); });
}

} // namespace mivo::workflow
