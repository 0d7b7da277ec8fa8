#include "frameworkscreens.h"

#include "kvarcel5.h"
#include "torzsopener.h"

#include "core/dat.h"
#include "core/screenregistry.h"
#include "platform/sqltext.h"

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

// Master-data items: the generic editor on a table list, with a fixed condition, or with a
// comparison that the own company code completes, or with neither.
struct MasterItem {
    const char* component;
    const char* tableSpec;
    const char* condition;
    const char* ownCompanyComparison;
};

const MasterItem masterItems[] = {
    {"keszulekek", "ARU,KESZULEK", "Where ARU.JELLEG='K'", nullptr},
    {"Alkatreszek", "ARU,ALKATRESZ", "Where ARU.JELLEG='A'", nullptr},
    {"Szolgaltatasok", "ARU", "Where ARU.JELLEG='S'", nullptr},
    {"Szerelok", "SZERELO", nullptr, "WHERE SZERELO.CEGKOD="},
    {"kulsocegek", "KULSOCEG", nullptr, nullptr},
    {"Kulsosszerelok", "SZERELO", nullptr, "WHERE SZERELO.CEGKOD<>"},
    {"ugyfelek", "UGYFEL", nullptr, nullptr},
    {"keszlet", "ALK_KESZLET", nullptr, nullptr},
    {"tevekenysegek", "TEVEKENYS", nullptr, nullptr},
    {"allapotok", "ALLAPOT", nullptr, nullptr},
    {"tavolletek", "TAVOLLET", nullptr, nullptr},
    {"vezerlo", "VEZERLO", nullptr, nullptr},
    {"sz_juzer", "SZ_JUZER", nullptr, nullptr},
    {"menuk", "MENUK", nullptr, nullptr},
    {"tablak", "TABLAK", nullptr, nullptr},
    {"Kivlasztsutnirtkadsok1", "PVEZERLO", nullptr, nullptr},
};

} // namespace

void registerFrameworkScreens(ScreenRegistry& registry)
{
    for (const MasterItem& item : masterItems) {
        registry.addCommand(QString::fromLatin1(item.component), [item](QWidget*) {
            TorzsCall call;
            call.tableSpec = QString::fromLatin1(item.tableSpec);
            if (item.condition)
                call.condition = QString::fromLatin1(item.condition);
            else if (item.ownCompanyComparison)
                call.condition = QString::fromLatin1(item.ownCompanyComparison) +
                                 db::literal(Td::instance().ownCompany);
            OpenTorzs(call);
        });
    }
    registry.addScreen(u"Sajtsszelltslista1"_s, u"Tkvarcel5fm"_s, QString(),
                       [](QWidget* owner) { return new kvarcel::Tkvarcel5fm(owner); });
}

} // namespace mivo
