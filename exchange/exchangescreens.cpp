#include "exchangescreens.h"

#include "SDserbeo.h"
#include "adatatad.h"
#include "email.h"
#include "emailpassword.h"
#include "ftpkuld.h"
#include "ftpproc.h"
#include "levelgen.h"
#include "szmszbeo.h"

#include "core/ini.h"
#include "core/messages.h"
#include "core/screenregistry.h"
#include "core/version.h"
#include "platform/dbquery.h"

#include <QPointer>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

const QString sendCaption = u"Adatok küldése (FTP-re)"_s;
const QString receiveCaption = u"Adatok fogadása (FTP-ről)"_s;

QPointer<Tftpkuldfm>& screenOfRun()
{
    static QPointer<Tftpkuldfm> screen;
    return screen;
}

void runUpdate()
{
    if (!messages::confirm(u"Keressünk program frissítéseket az interneten?"_s))
        return;
    db::Query identity;
    identity.setSql(u"Select distinct(CEGKOD) KOD, CEGKOD NEV From SZERELO Where AKTIV='I' and "
                    u"cegkod<>'' and not cegkod is null"_s);
    if (!identity.exec()) {
        messages::showError(identity.lastError());
        return;
    }
    ProgramUpdate update;
    update.run(programVersion(), identity);
    identity.close();
}

} // namespace

Tftpkuldfm* ftpScreen(QWidget* owner)
{
    QPointer<Tftpkuldfm>& screen = screenOfRun();
    if (!screen)
        screen = new Tftpkuldfm(owner);
    return screen;
}

void registerExchangeScreens(ScreenRegistry& registry, std::function<void()> afterTransfer)
{
    const auto transferItem = [&registry, afterTransfer](const QString& component,
                                                         const QString& caption,
                                                         const QString& mode) {
        registry.addCommand(component, [caption, mode, afterTransfer](QWidget* owner) {
            const Ini& ini = Ini::instance();
            if (ini.value(u"FTP_SERVER"_s).isEmpty() || ini.value(u"FTP_USER"_s).isEmpty()) {
                messages::show(u"FTP kapcsolat nincs megadva"_s);
                return;
            }
            openScreen(*ftpScreen(owner), caption, mode, true);
            if (afterTransfer)
                afterTransfer();
        });
    };
    transferItem(u"adatkuldes"_s, sendCaption, Tftpkuldfm::sendMode);
    transferItem(u"Adatfogadas"_s, receiveCaption, Tftpkuldfm::receiveMode);
    registry.addCommand(u"Promramfrissitese"_s, [](QWidget*) { runUpdate(); });
    setPasswordPrompt(askEmailPassword);
    registry.addScreen(u"elsobeo"_s, u"Tszmszbeofm"_s, {},
                       [](QWidget* owner) { return new Tszmszbeofm(owner); });
    registry.addScreen(u"levelgen"_s, u"Tlevelgenfm"_s, {},
                       [](QWidget* owner) { return new Tlevelgenfm(owner); });
    registry.addScreen(u"SD_ser_bol"_s, u"TSDserbeofm"_s, {},
                       [](QWidget* owner) { return new TSDserbeofm(owner); });
    registry.addScreen(
        u"adatatadas"_s, u"Tadatatadfm"_s, {},
        [](QWidget* owner) { return new Tadatatadfm(owner); }, true);
}

bool downloadAtStartup(QWidget* owner)
{
    openScreen(*ftpScreen(owner), receiveCaption, Tftpkuldfm::startupMode, true);
    return true;
}

} // namespace mivo::exchange
