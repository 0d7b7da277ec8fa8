#include "mivomain.h"

#include "core/corescreens.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/password.h"
#include "core/version.h"
#include "exchange/exchangescreens.h"
#include "exchange/ftp.h"
#include "framework/alapdat.h"
#include "framework/frameworkscreens.h"
#include "framework/rights.h"
#include "framework/torzs.h"
#include "schema/schemabuilder.h"
#include "workflow/alkkeszlet.h"
#include "workflow/workflowscreens.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

// The main menu: menu object name and caption, then its items (component, caption).
struct Item {
    const char* component;
    const char* caption;
};
struct Group {
    const char* name;
    const char* caption;
    const char* parent; // object name of the menu it sits in; nullptr = menu bar
    std::initializer_list<Item> items;
};

const Group mainMenu[] = {
    {"m_torzsek",
     "Törzsek",
     nullptr,
     {{"keszulekek", "Készülék fajták"},
      {"Alkatreszek", "Alkatrészek"},
      {"Szolgaltatasok", "Szolgáltatások"},
      {"Szerelok", "Szerelők"},
      {"kulsocegek", "Külső szerelő cégek"},
      {"Kulsosszerelok", "Külsös szerelők"},
      {"ugyfelek", "Ügyfelek"},
      {"Kszlkek1", "Készülékek"},
      {"keszlet", "Alkatrész készlet"}}},
    {"m_szotarak",
     "Szótárak",
     "m_torzsek",
     {{"tevekenysegek", "Tevékenységek"},
      {"allapotok", "Állapotok"},
      {"tavolletek", "Távolléti jogcímek"}}},
    {"m_vezerlo",
     "Vezérlő táblák",
     "m_torzsek",
     {{"vezerlo", "Beviteli mezők meghatározása, jogosultságok"},
      {"sz_juzer", "Felhasználók, jelszavak "},
      {"menuk", "Menüpont jogosultságok"},
      {"tablak", "Táblák nevei, jogosultságok"},
      {"Kivlasztsutnirtkadsok1", "Kiválasztás utáni értékadások"}}},
    {"m_adatrogzites",
     "Adatrögzítés",
     nullptr,
     {{"hibafelvetel", "Szervíz igény rögzítése"},
      {"kiosztas", "Ki nem osztott munka kiosztása"},
      {"munkazaras", "Elvégzett munka dokumentálása"},
      {"okmunkajavit", "Elvégzett munka adatellenőrzés, javítás"},
      {"zartajto", "Zárt ajtós munkák"},
      {"Folyamatban", "Folyamatban levő munkák"},
      {"szerelokiesoido", "Szerelő kieső idő rögzítése"},
      {"kulsosmunka", "Külsősnek kiosztott munkák kezelése"}}},
    {"m_listak",
     "Listák",
     nullptr,
     {{"napilista", "Szerelő napi munkautasítás"},
      {"kiesolista", "Szerelő kieső idő adott időszakra"},
      {"tevekenyseglista", "Időszaki tevékenység lista"},
      {"elozmenylista", "Előzmény lista"},
      {"Teljestevkenysglista1", "Teljes tevékenységlista"},
      {"Sajtsszelltslista1", "Saját összeállítású lista"}}},
    {"m_levelezes", "Levelezés", nullptr, {{"levelgen", "Levél adatok generálása"}}},
    {"m_specialis",
     "Speciális",
     nullptr,
     {{"Kijelentkezes", "Kijelentkezés "},
      {"jelszovaltas", "Saját jelszó megváltoztatása"},
      {"elsobeo", "Adatbeolvasás Excel fájlból"},
      {"SD_ser_bol", "Adatátvétel SD szerviz programból"},
      {"adatatadas", "Adatok átadása SD szerviz programnak"},
      {"adatkuldes", "Adatok küldése (FTP-re)"},
      {"Adatfogadas", "Adatok fogadása (FTP-ről)"},
      {"Promramfrissitese", "Program frissítése az internetről"},
      {"alkkeszgen", "Alkatrész készlet újraszámolása"},
      {"beallitasok", "Beállítások"}}},
};

} // namespace

Tmivomainfm::Tmivomainfm(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Tmivomainfm"));
    setWindowTitle(QStringLiteral("Mivo Koordinálás  * "));

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* title = new QLabel(QStringLiteral(" M.I.V.O."), central);
    title->setObjectName(QStringLiteral("l_cim"));
    QFont big = title->font();
    big.setPointSize(48);
    big.setBold(true);
    title->setFont(big);
    title->setStyleSheet(QStringLiteral("color: #1f4fbf;"));
    title->setAlignment(Qt::AlignCenter);
    m_version = new QLabel(programVersion(), central);
    m_version->setObjectName(QStringLiteral("l_version"));
    m_version->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    layout->addStretch();
    layout->addWidget(title);
    layout->addStretch();
    layout->addWidget(m_version);
    setCentralWidget(central);

    // The editors live for the run; lookup buttons of every panel reach them too.
    m_torzs = std::make_unique<TorzsEditors>(this);
    setTorzsOpener(m_torzs.get());
    // The parts form serves request entry for the run; it acts only with the stock feature.
    workflow::setPartsHook(new workflow::Talk_keszletfm(this));
    registerCoreScreens(m_screens);
    registerFrameworkScreens(m_screens);
    workflow::registerWorkflowScreens(m_screens);
    exchange::registerExchangeScreens(m_screens, [this] {
        if (m_started)
            applyFeatures();
    });
    exchange::installChangeRecorder();
    buildMenu();
    resize(800, 560);

    m_startup.openMetadata = [] { return Tdm::instance().connect(); };
    m_startup.upgradeDatabase = [](QString* error) { return schema::upgrade(u"d_mivo"_s, error); };

    m_startup.downloadDatabase = [this] { return exchange::downloadAtStartup(this); };

    // The login dialog lives for the run: it knows who logged in, for the password change.
    auto* password = new TPasswordfm(this);
    m_password = password;
    m_startup.login = [password] { return password->run(TPasswordfm::Mode::Login); };
    const auto loginItem = [this, password](const QString& component, TPasswordfm::Mode mode) {
        QAction* item = action(component);
        item->setEnabled(true);
        connect(item, &QAction::triggered, this, [this, password, mode] {
            if (!password->run(mode)) {
                close();
                return;
            }
            if (mode == TPasswordfm::Mode::Login)
                feedFramework();
        });
    };
    loginItem(QStringLiteral("Kijelentkezes"), TPasswordfm::Mode::Login);
    loginItem(QStringLiteral("jelszovaltas"), TPasswordfm::Mode::ChangePassword);
}

Tmivomainfm::~Tmivomainfm()
{
    setTorzsOpener(nullptr);
    workflow::setPartsHook(nullptr);
}

void Tmivomainfm::buildMenu()
{
    for (const Group& group : mainMenu) {
        QMenu* parentMenu = group.parent ? menu(QString::fromLatin1(group.parent)) : nullptr;
        QMenu* m = parentMenu ? parentMenu->addMenu(QString::fromUtf8(group.caption))
                              : menuBar()->addMenu(QString::fromUtf8(group.caption));
        m->setObjectName(QString::fromLatin1(group.name));
        for (const Item& item : group.items) {
            QAction* a = m->addAction(QString::fromUtf8(item.caption));
            const QString component = QString::fromLatin1(item.component);
            a->setObjectName(component);
            // An item whose screen is not registered yet cannot be chosen.
            a->setEnabled(m_screens.contains(component));
            connect(a, &QAction::triggered, this,
                    [this, a, component] { m_screens.open(component, a->text(), this); });
        }
    }
    QAction* quit = menuBar()->addAction(u"Vége"_s);
    quit->setObjectName(u"vege"_s);
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

QAction* Tmivomainfm::action(const QString& component) const
{
    return findChild<QAction*>(component);
}

QMenu* Tmivomainfm::menu(const QString& objectName) const
{
    return findChild<QMenu*>(objectName);
}

void Tmivomainfm::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (m_startupQueued)
        return;
    m_startupQueued = true;
    // After the window is on screen, so that the start-up messages sit over it; once, also
    // when a caller ran it meanwhile.
    QTimer::singleShot(0, this, [this] {
        if (!m_startupRan)
            runStartup();
    });
}

bool Tmivomainfm::runStartup()
{
    m_startupQueued = true;
    m_startupRan = true;
    menuBar()->setEnabled(false);
    if (!m_startup.run()) {
        close();
        return false;
    }
    applyFeatures();
    feedFramework();
    menuBar()->setEnabled(true);
    m_started = true;
    return true;
}

void Tmivomainfm::feedFramework()
{
    const Td& td = Td::instance();
    const QString loginName = m_password->login().loggedInName();
    // The start-up's maintenance user (WPWD=NONE, nobody logged in through the dialog) may do
    // everything in the editor and is logged under its display name.
    if (loginName.isEmpty() && Ini::instance().value(u"WPWD"_s) == QLatin1String("NONE"))
        SetFrameworkUser(u"W"_s, td.userName);
    else
        SetFrameworkUser(td.userRights, loginName.isEmpty() ? td.userName : loginName);
}

void Tmivomainfm::applyFeatures()
{
    const Td& td = Td::instance();
    const StartupMenu& m = m_startup.menu();
    action(QStringLiteral("Adatfogadas"))->setVisible(m.ftp);
    action(QStringLiteral("adatkuldes"))->setVisible(m.ftp);
    action(QStringLiteral("SD_ser_bol"))->setVisible(m.sd);
    action(QStringLiteral("adatatadas"))->setVisible(m.sd);
    menu(QStringLiteral("m_levelezes"))->menuAction()->setVisible(td.lettersAvailable);
    action(QStringLiteral("keszlet"))->setVisible(td.partsStockAvailable);
    action(QStringLiteral("alkkeszgen"))->setVisible(td.partsStockAvailable);
}

} // namespace mivo
