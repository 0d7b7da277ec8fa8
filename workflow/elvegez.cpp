#include "elvegez.h"

#include "completionchecks.h"
#include "completionstore.h"
#include "customerpick.h"
#include "postalcode.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/getdatum.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "core/rowlist.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/filedialog.h"
#include "platform/querymodel.h"
#include "platform/rowsource.h"
#include "reports/qexport.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPdfDocument>
#include <QPdfView>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

namespace
{

// Columns of the parts grid.
enum PartColumn { NumberColumn, CodeColumn, NameColumn, QuantityColumn, InnerColumn };

const QString noPart = u"??? NINCS ILYEN ALKATRÉSZ!"_s;

// The list's columns: the field and its title. The others of the select stay in the rows.
const std::vector<data::ShownColumn>& listColumns()
{
    static const std::vector<data::ShownColumn> columns = {
        {u"TERVD"_s, u"Terv. nap"_s},
        {u"SZERELOT"_s, u"Szerelő"_s},
        {u"TEVNEV"_s, u"Tevékenység"_s},
        {u"UGYFELNEV"_s, u"Ügyfél"_s},
        {u"IRSZAM"_s, u"Irsz."_s},
        {u"VAROS"_s, u"Település"_s},
        {u"UTCA"_s, u"Cím"_s},
        {u"TELEFON"_s, u"Telefon"_s},
        {u"KESZULEKNEV"_s, u"Készülék"_s},
        {u"LEIRAST"_s, u"Probléma leírás"_s},
        {u"MUNKASZAM"_s, u"Munkaszám"_s},
        {u"SZAMLASZAM"_s, u"Számlaszám"_s},
        {u"SZERELOM"_s, u"Végezte"_s},
        {u"MUNKATEV"_s, u"Elv. tev."_s},
        {u"LEIRASM"_s, u"Munka leírás"_s},
        {u"JUZER"_s, u"Felvette"_s},
        {u"FELVETELD"_s, u"Bejelentve"_s},
        {u"LEMONDTA"_s, u"Lemondta"_s},
        {u"KOD"_s, u"#"_s},
    };
    return columns;
}

// Characters each list column shows at its start (the widths come from what the field
// holds, never from the rows).
const int listWidths[] = {10, 7, 18, 24, 5, 16, 24, 14, 20, 30, 9, 11, 8, 8, 30, 9, 10, 8, 7};

// The position of a result field in the list's select (1-based), 0 when not there.
int positionOf(const QString& field)
{
    const QStringList& fields = completionListFields();
    for (int i = 0; i < fields.size(); ++i) {
        const QString name = fields[i].section(u' ', -1).section(u'.', -1);
        if (name == field)
            return i + 1;
    }
    return 0;
}

// Captions of the appliance page's sheet fields, by edit name.
const std::map<QString, QString>& sheetCaptions()
{
    static const std::map<QString, QString> captions = {
        {u"e_sorszam"_s, u" Beüzemelési lap sorszáma:"_s},
        {u"e_vasarlas"_s, u" Vásárlás dátuma:"_s},
        {u"e_gazatvetel"_s, u" Gázátvétel dátuma:"_s},
        {u"e_futesirend"_s, u" Fűtési rendszer:"_s},
        {u"e_mikori"_s, u" Fűtési rendszer régi / új:"_s},
        {u"e_gazesmeg"_s, u" Még csatlakozik rá:"_s},
        {u"e_gazfajta"_s, u" Gázfajta:"_s},
        {u"e_teljmin"_s, u" Beállított teljesítmény (min, max, HMV):"_s},
        {u"e_egonyomasmin"_s, u" Égőnyomás (min, max, HMV):"_s},
        {u"e_viznyomas"_s, u" Bejövő víznyomás (bar):"_s},
        {u"e_gaznyomas"_s, u" Gáznyomás:"_s},
        {u"e_tomorseg"_s, u" Gáztömörség:"_s},
        {u"e_felsz"_s, u" Felszerelés:"_s},
        {u"e_szerelheto"_s, u" Szerelhetőség:"_s},
        {u"e_egestermek"_s, u" Égéstermék elvezetés:"_s},
        {u"e_legellatas"_s, u" Légellátás:"_s},
        {u"e_elektr"_s, u" Elektromos hálózat:"_s},
        {u"e_kerkarb"_s, u" Éves karbantartást kér:"_s},
        {u"e_vizkokezelo"_s, u" Vízkőkezelő, típusa:"_s},
        {u"e_iszapszuro"_s, u" Iszapszűrő, típusa:"_s},
        {u"e_thkabel"_s, u" Termosztát kábel folytonos:"_s},
        {u"e_atmosas"_s, u" Fűtési rendszer átmosva:"_s},
        {u"e_hmv"_s, u" HMV tároló van:"_s},
        {u"e_szakvelemeny"_s, u" Szakvélemény van:"_s},
        {u"e_eph"_s, u" EPH van:"_s},
        {u"e_oxidiff"_s, u" Oxigéndiffúzió van:"_s},
        {u"e_gazmeo"_s, u" Gázműszaki ellenőrzés van:"_s},
        {u"e_felszceg"_s, u" Felszerelő cég:"_s},
        {u"e_uzembeceg"_s, u" Üzembe helyező cég:"_s},
        {u"e_egyeb"_s, u" Egyéb megjegyzés:"_s},
    };
    return captions;
}

// A line of a page: caption in the first column of its pair, the controls beside it.
void addLine(QGridLayout* grid, int row, int pair, const QString& caption,
             std::initializer_list<QWidget*> controls, int span = 1)
{
    auto* label = new QLabel(caption);
    if (!controls.size())
        return;
    label->setBuddy(*controls.begin());
    grid->addWidget(label, row, pair * 2);
    auto* box = new QHBoxLayout;
    box->setSpacing(4);
    for (QWidget* w : controls)
        box->addWidget(w);
    box->addStretch();
    grid->addLayout(box, row, pair * 2 + 1, 1, span * 2 - 1);
}

} // namespace

Telvegezfm::Telvegezfm(QWidget* parent)
    : Screen(parent), m_pages(new QTabWidget(this)), m_list(new QTableView(this)),
      m_rows(new data::QueryModel(u"d_mivo"_s, listColumns(), this)), m_count(new QLabel(this)),
      m_activity(nullptr), m_parts(nullptr)
{
    setObjectName(u"Telvegezfm"_s);
    addCommandButton(u"bevitel"_s, u"&Adatok bevitele"_s, [this] { loadCurrent(); });
    addCommandButton(u"ok"_s, u"&OK (Tárolás)"_s, [this] { store(); });
    addCommandButton(u"megsem"_s, u"&Mégsem"_s, [this] { cancel(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();

    m_pages->setObjectName(u"pc_lapok"_s);
    m_pages->addTab(buildWorkPage(), u"Munka meghatározás"_s);
    m_pages->addTab(buildCustomerPage(), u"Ügyfél adatai"_s);
    m_pages->addTab(buildAppliancePage(), u"Készülék adatai"_s);
    m_pages->addTab(buildPartsPage(), u"Felhasznált alkatrészek"_s);
    m_pages->addTab(buildFilterPage(), u"Szűrő feltételek"_s);
    m_pages->addTab(buildSheetPage(), u"Munkalap"_s);
    connect(m_pages, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == SheetPage)
            showSheetFile();
    });

    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_pages);
    split->addWidget(buildList());
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(buttonBar());
    layout->addWidget(split, 1);
    resize(1280, 900);
}

QLineEdit* Telvegezfm::edit(const QString& name) const
{
    return findChild<QLineEdit*>(name);
}

QString Telvegezfm::itemCount() const
{
    return m_count->text();
}

QLineEdit* Telvegezfm::addEdit(QWidget* page, const QString& name, int maxLength, bool readOnly,
                               int shown)
{
    auto* e = new QLineEdit(page);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setReadOnly(readOnly);
    // As wide as what the field holds; the long texts grow with the page.
    const int chars = shown > 0 ? shown : std::clamp(maxLength, 2, 60);
    const int width = e->fontMetrics().horizontalAdvance(QString(chars, u'0')) + 16;
    if (maxLength <= 60)
        e->setFixedWidth(width);
    else
        e->setMinimumWidth(width);
    return e;
}

QPushButton* Telvegezfm::addButton(QWidget* page, const QString& name, const QString& text,
                                   std::function<void()> run)
{
    auto* b = new QPushButton(text, page);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFixedWidth(std::max(32, b->fontMetrics().horizontalAdvance(text) + 20));
    connect(b, &QPushButton::clicked, this, std::move(run));
    return b;
}

// ---- pages

QWidget* Telvegezfm::buildWorkPage()
{
    auto* page = new QWidget;
    page->setObjectName(u"ts_munka"_s);
    auto* g = new QGridLayout(page);
    g->setVerticalSpacing(3);
    m_activity = new QComboBox(page);
    m_activity->setObjectName(u"cb_tevekenys"_s);
    m_activity->setMaxVisibleItems(20);
    m_activity->setMinimumWidth(320);
    connect(m_activity, &QComboBox::currentIndexChanged, this, [this] { activityChosen(); });
    QLineEdit* performer = addEdit(page, u"e_szerelo"_s, 6);
    connect(performer, &QLineEdit::editingFinished, this, [this] { performerLeft(); });

    int row = 0;
    addLine(g, row++, 0, u" Munka kódja:"_s, {addEdit(page, u"e_munkakod"_s, 10, true)});
    addLine(g, row++, 0, u" Szerelő (akinek kiadva) :"_s,
            {addEdit(page, u"e_szerelot"_s, 6, true), addEdit(page, u"e_szerelotnev"_s, 40, true)});
    addLine(g, row++, 0, u" Szerelő (munkavégző) :"_s,
            {performer, addEdit(page, u"e_szerelonev"_s, 40, true),
             addButton(page, u"b_szerelo"_s, u"?"_s, [this] { pickPerformer(); })});
    QLineEdit* day = addEdit(page, u"e_nap"_s, 10);
    connect(day, &QLineEdit::editingFinished, this, [this] { dateLeft(u"e_nap"_s); });
    addLine(g, row++, 0, u" Munkavégzés napja:"_s,
            {day, addButton(page, u"b_nap"_s, u"Nap"_s, [this] { pickDay(u"e_nap"_s); })});
    addLine(g, row++, 0, u" Elvégzett tevékenység:"_s, {m_activity});
    addLine(g, row++, 0, u" Munkaszám:"_s, {addEdit(page, u"e_munkaszam"_s, 6)});
    addLine(g, row++, 0, u" Számlaszám:"_s, {addEdit(page, u"e_szamlaszam"_s, 10)});
    QLineEdit* description = addEdit(page, u"e_leirasm"_s, 240);
    description->setMinimumWidth(700);
    addLine(g, row++, 0, u" Munka rövid leírása:"_s, {description});
    addLine(g, row++, 0, u" Hibafelvevő:"_s, {addEdit(page, u"e_juzer"_s, 10, true)});
    addLine(g, row++, 0, u" Bejelentett hiba:"_s, {addEdit(page, u"e_hiba"_s, 40, true)});
    QLineEdit* fault = addEdit(page, u"e_leirast"_s, 240, true);
    fault->setMinimumWidth(700);
    addLine(g, row++, 0, u" Bejelentett hiba leírása:"_s, {fault});
    addLine(g, row++, 0, u" Lemondta: (I/N)"_s, {addEdit(page, u"e_lemondta"_s, 1, true)});
    g->setColumnStretch(1, 1);
    g->setRowStretch(row, 1);
    return page;
}

QWidget* Telvegezfm::buildCustomerPage()
{
    auto* page = new QWidget;
    page->setObjectName(u"ts_ugyfel"_s);
    auto* g = new QGridLayout(page);
    g->setVerticalSpacing(3);
    QLineEdit* postal = addEdit(page, u"e_irszam"_s, 4);
    connect(postal, &QLineEdit::editingFinished, this, [this] { postalCodeLeft(); });
    int row = 0;
    addLine(g, row++, 0, u" Ügyfél neve:"_s,
            {addEdit(page, u"e_ugyfelnev"_s, 60),
             addButton(page, u"b_ugyfel"_s, u"?"_s, [this] { pickCustomer(); })});
    addLine(g, row++, 0, u" Irányítószám:"_s,
            {postal, addButton(page, u"b_irszam"_s, u"?"_s, [this] { pickPostalCode(); })});
    addLine(g, row++, 0, u" Település:"_s, {addEdit(page, u"e_varos"_s, 40)});
    addLine(g, row++, 0, u" Utca, házszám:"_s, {addEdit(page, u"e_utca"_s, 40)});
    addLine(g, row++, 0, u" Telefon:"_s, {addEdit(page, u"e_tel"_s, 40)});
    addLine(g, row++, 0, u" Fax:"_s, {addEdit(page, u"e_fax"_s, 20)});
    addLine(g, row++, 0, u" E-mail:"_s, {addEdit(page, u"e_mail"_s, 30)});
    addLine(g, row++, 0, u" Megjegyzés:"_s, {addEdit(page, u"e_komment"_s, 100)});
    addLine(g, row++, 0, u" Megjegyzés 2:"_s, {addEdit(page, u"e_komment2"_s, 100)});
    addLine(g, row++, 0, u" Ügyfél kódja:"_s, {addEdit(page, u"e_ugyfelkod"_s, 10, true)});
    g->setColumnStretch(1, 1);
    g->setRowStretch(row, 1);
    return page;
}

QWidget* Telvegezfm::buildAppliancePage()
{
    auto* page = new QWidget;
    page->setObjectName(u"ts_keszulek"_s);
    auto* g = new QGridLayout(page);
    g->setVerticalSpacing(3);
    g->setHorizontalSpacing(6);

    std::map<QString, QLineEdit*> edits;
    for (const SheetField& f : sheetFields()) {
        // Readings are short numbers; the types of the water treatment rarely fill their 30.
        const bool type = f.column == u"VIZKOKTIP"_s || f.column == u"ISZAPSZTIP"_s;
        const int shown = f.input == SheetInput::Number ? 8 : type ? 20 : std::min(f.maxLength, 40);
        QLineEdit* e = addEdit(page, f.edit, f.maxLength, false, shown);
        edits[f.edit] = e;
        const QString name = f.edit;
        switch (f.input) {
        case SheetInput::Date:
            connect(e, &QLineEdit::editingFinished, this, [this, name] { dateLeft(name); });
            break;
        case SheetInput::Letter: {
            const QString letters = f.letters;
            connect(e, &QLineEdit::textEdited, e, [e](const QString& text) {
                if (text != text.toUpper())
                    e->setText(text.toUpper());
            });
            connect(e, &QLineEdit::editingFinished, this,
                    [this, name, letters] { letterLeft(name, letters); });
            break;
        }
        case SheetInput::Number:
        case SheetInput::Text:
            break;
        }
    }
    edits[u"e_futesirend"_s]->setReadOnly(true);
    const auto caption = [](const QString& edit) { return sheetCaptions().at(edit); };
    const auto field = [&](const QString& edit) -> QWidget* { return edits.at(edit); };
    const auto nap = [&](const QString& edit) -> QWidget* {
        const QString button = u"b_"_s + edit.mid(2);
        return addButton(page, button, u"Nap"_s, [this, edit] { pickDay(edit); });
    };
    const auto letter = [&](const QString& edit) -> QWidget* {
        QString letters;
        for (const SheetField& f : sheetFields()) {
            if (f.edit == edit)
                letters = f.letters;
        }
        return addButton(page, u"b_"_s + edit.mid(2), letters,
                         [this, edit, letters] { pressLetter(edit, letters); });
    };

    // The appliance and the sheet's dates and system at the left.
    int row = 0;
    addLine(g, row++, 0, u" Készülék típus:"_s,
            {addEdit(page, u"e_keszulek"_s, 30, true, 14),
             addEdit(page, u"e_keszuleknev"_s, 40, true),
             addButton(page, u"b_keszulek"_s, u"?"_s, [this] { pickApplianceType(); })});
    addLine(g, row++, 0, u" Típus:"_s, {addEdit(page, u"e_tipus"_s, 10, true)});
    addLine(g, row++, 0, u" Gyári szám:"_s,
            {addEdit(page, u"e_gyariszam"_s, 30),
             addButton(page, u"b_gyariszam"_s, u"?"_s, [this] { pickSerial(); })});
    addLine(g, row++, 0, caption(u"e_sorszam"_s), {field(u"e_sorszam"_s)});
    for (const char16_t* date : {u"e_vasarlas", u"e_gazatvetel"}) {
        const QString name = QString::fromUtf16(date);
        addLine(g, row++, 0, caption(name), {field(name), nap(name)});
    }
    addLine(g, row++, 0, caption(u"e_futesirend"_s),
            {field(u"e_futesirend"_s),
             addButton(page, u"b_futesirend"_s, u"?"_s, [this] { pickHeating(); }),
             addEdit(page, u"e_futrendnev"_s, 40, true)});
    addLine(g, row++, 0, caption(u"e_mikori"_s), {field(u"e_mikori"_s), letter(u"e_mikori"_s)});
    for (const char16_t* text : {u"e_gazesmeg", u"e_gazfajta"}) {
        const QString name = QString::fromUtf16(text);
        addLine(g, row++, 0, caption(name), {field(name)});
    }
    const int leftRows = row;

    // Readings in the middle.
    row = 0;
    addLine(g, row++, 1, caption(u"e_teljmin"_s),
            {field(u"e_teljmin"_s), field(u"e_teljmax"_s), field(u"e_teljhmv"_s)});
    addLine(g, row++, 1, caption(u"e_egonyomasmin"_s),
            {field(u"e_egonyomasmin"_s), field(u"e_egonyomasmax"_s), field(u"e_egonyomashmv"_s)});
    for (const char16_t* text : {u"e_viznyomas", u"e_gaznyomas", u"e_tomorseg", u"e_felsz",
                                 u"e_szerelheto", u"e_egestermek", u"e_legellatas", u"e_elektr"}) {
        const QString name = QString::fromUtf16(text);
        addLine(g, row++, 1, caption(name), {field(name)});
    }
    const int middleRows = row;

    // The yes/no answers at the right.
    row = 0;
    for (const char16_t* text :
         {u"e_kerkarb", u"e_vizkokezelo", u"e_iszapszuro", u"e_thkabel", u"e_atmosas", u"e_hmv",
          u"e_szakvelemeny", u"e_eph", u"e_oxidiff", u"e_gazmeo"}) {
        const QString name = QString::fromUtf16(text);
        if (name == u"e_vizkokezelo"_s)
            addLine(g, row++, 2, caption(name),
                    {field(name), letter(name), field(u"e_vizkoktip"_s)});
        else if (name == u"e_iszapszuro"_s)
            addLine(g, row++, 2, caption(name),
                    {field(name), letter(name), field(u"e_iszapsztip"_s)});
        else
            addLine(g, row++, 2, caption(name), {field(name), letter(name)});
    }

    // The companies and the remarks across the page.
    row = std::max({leftRows, middleRows, row});
    for (const QString& prefix : {u"felsz"_s, u"uzembe"_s}) {
        const QString button = u"b_"_s + prefix + u"ceg"_s;
        addLine(g, row++, 0, caption(u"e_"_s + prefix + u"ceg"_s),
                {addButton(page, button, u"?"_s, [this, prefix] { pickCompany(prefix); }),
                 field(u"e_"_s + prefix + u"ceg"_s), field(u"e_"_s + prefix + u"irszam"_s),
                 field(u"e_"_s + prefix + u"varos"_s), field(u"e_"_s + prefix + u"utca"_s)},
                3);
    }
    edits[u"e_egyeb"_s]->setMinimumWidth(700);
    addLine(g, row++, 0, caption(u"e_egyeb"_s), {field(u"e_egyeb"_s)}, 3);
    g->setColumnStretch(5, 1);
    g->setRowStretch(row, 1);
    return page;
}

QWidget* Telvegezfm::buildPartsPage()
{
    auto* page = new QWidget;
    page->setObjectName(u"ts_alkatresz"_s);
    auto* g = new QGridLayout(page);
    m_parts = new QTableWidget(8, 5, page);
    m_parts->setObjectName(u"sg_alkatresz"_s);
    m_parts->setHorizontalHeaderLabels(
        {u""_s, u"Alkatrész kód"_s, u"Alatrész megnevezés"_s, u"Darab"_s, u"BELSOKOD"_s});
    m_parts->setColumnHidden(InnerColumn, true);
    m_parts->verticalHeader()->hide();
    const int em = m_parts->fontMetrics().horizontalAdvance(u'M');
    m_parts->setColumnWidth(NumberColumn, em * 3);
    m_parts->setColumnWidth(CodeColumn, em * 12);
    m_parts->setColumnWidth(NameColumn, em * 30);
    m_parts->setColumnWidth(QuantityColumn, em * 6);
    m_parts->verticalHeader()->setDefaultSectionSize(m_parts->fontMetrics().height() + 8);
    m_parts->setFixedWidth(m_parts->horizontalHeader()->length() + 2 * m_parts->frameWidth() +
                           m_parts->verticalScrollBar()->sizeHint().width());
    connect(m_parts, &QTableWidget::cellChanged, this, &Telvegezfm::partChanged);
    auto* coupon = addEdit(page, u"e_gjsorszam"_s, 1);
    g->addWidget(m_parts, 0, 0);
    g->addWidget(addButton(page, u"b_alkatresz"_s, u"?"_s, [this] { pickPart(); }), 0, 1,
                 Qt::AlignTop);
    auto* label = new QLabel(u" Garanciális szelvény  sorszáma:"_s, page);
    label->setBuddy(coupon);
    auto* line = new QHBoxLayout;
    line->addWidget(label);
    line->addWidget(coupon);
    line->addStretch();
    g->addLayout(line, 1, 0, 1, 2);
    g->setColumnStretch(2, 1);
    return page;
}

QWidget* Telvegezfm::buildFilterPage()
{
    auto* page = new QWidget;
    page->setObjectName(u"ts_szuro"_s);
    auto* g = new QGridLayout(page);
    g->setVerticalSpacing(3);
    const auto dateField = [&](const QString& name) {
        QLineEdit* e = addEdit(page, name, 10);
        connect(e, &QLineEdit::editingFinished, this, [this, name] { dateLeft(name); });
        return e;
    };
    const auto nap = [&](const QString& edit) -> QWidget* {
        return addButton(page, u"b_"_s + edit.mid(2), u"Nap"_s, [this, edit] { pickDay(edit); });
    };
    auto* dash1 = new QLabel(u" - "_s, page);
    auto* dash2 = new QLabel(u" - "_s, page);
    int row = 0;
    addLine(g, row++, 0, u" Munkavégzés napja:"_s,
            {dateField(u"e_munkadtol"_s), nap(u"e_munkadtol"_s), dash1, dateField(u"e_munkadig"_s),
             nap(u"e_munkadig"_s)});
    addLine(g, row++, 0, u" Tervezett nap:"_s,
            {dateField(u"e_tervdtol"_s), nap(u"e_tervdtol"_s), dash2, dateField(u"e_tervdig"_s),
             nap(u"e_tervdig"_s)});
    QLineEdit* customer = addEdit(page, u"e_fugyfelnev"_s, 60);
    connect(customer, &QLineEdit::textEdited, this, [this] { m_filterCustomer = 0; });
    QLineEdit* town = addEdit(page, u"e_fvaros"_s, 40);
    connect(town, &QLineEdit::textEdited, this, [this] { m_filterCustomer = 0; });
    addLine(g, row++, 0, u" Ügyfél neve:"_s,
            {customer, addButton(page, u"b_fugyfel"_s, u"?"_s, [this] { pickFilterCustomer(); })});
    addLine(g, row++, 0, u" Ügyfél települése:"_s, {town});
    addLine(g, row++, 0, u" Szerelő:"_s,
            {addEdit(page, u"e_fszerelo"_s, 6),
             addButton(page, u"b_fszerelo"_s, u"?"_s, [this] { pickFilterTechnician(); })});
    QLineEdit* type = addEdit(page, u"e_ftipus"_s, 30, true);
    addLine(g, row++, 0, u" Készülék típus:"_s,
            {type, addEdit(page, u"e_ftipusnev"_s, 40, true),
             addButton(page, u"b_ftipus"_s, u"?"_s, [this] { pickFilterType(); }),
             addButton(page, u"b_ftipustorol"_s, u"Töröl"_s, [this] {
                 m_filterType = 0;
                 edit(u"e_ftipus"_s)->clear();
                 edit(u"e_ftipusnev"_s)->clear();
             })});
    QLineEdit* sheet = addEdit(page, u"e_fmunkaszam"_s, 6);
    // The scanned sheet page looks for the job-sheet number last given here.
    connect(sheet, &QLineEdit::editingFinished, this,
            [this, sheet] { m_sheetNumber = sheet->text().trimmed(); });
    addLine(g, row++, 0, u" Munkaszám:"_s, {sheet});
    addLine(g, row++, 0, u" Számlaszám:"_s, {addEdit(page, u"e_fszamlaszam"_s, 10)});
    auto* buttons = new QHBoxLayout;
    for (auto [name, text, run] :
         std::initializer_list<std::tuple<QString, QString, std::function<void()>>>{
             {u"b_elfogad"_s, u"&Feltételek elfogadása"_s, [this] { acceptFilter(); }},
             {u"b_torol"_s, u"Feltételek &törlése"_s, [this] { clearFilter(); }},
             {u"b_ment"_s, u"Találatok m&entése táblába"_s, [this] { exportList(); }}})
        buttons->addWidget(addButton(page, name, text, run));
    buttons->addStretch();
    g->addLayout(buttons, row++, 0, 1, 2);
    g->setColumnStretch(1, 1);
    g->setRowStretch(row, 1);
    return page;
}

QWidget* Telvegezfm::buildSheetPage()
{
    auto* page = new QWidget;
    page->setObjectName(u"ts_munkalap"_s);
    auto* v = new QVBoxLayout(page);
    auto* top = new QHBoxLayout;
    QLineEdit* name = addEdit(page, u"e_munkalapfajl"_s, 255, true);
    name->setMinimumWidth(600);
    top->addWidget(name, 1);
    top->addWidget(addButton(page, u"b_talloz"_s, u"Tallóz"_s, [this] { browseSheetFile(); }));
    v->addLayout(top);
    m_viewer = new QStackedWidget(page);
    m_noSheet = new QLabel(u"Nincs beszkennelt munkalap fájl."_s, page);
    m_noSheet->setObjectName(u"l_nincsmunkalap"_s);
    m_noSheet->setAlignment(Qt::AlignCenter);
    m_imageArea = new QScrollArea(page);
    m_imageArea->setObjectName(u"sb_kep"_s);
    m_image = new QLabel;
    m_image->setObjectName(u"i_kep"_s);
    m_imageArea->setWidget(m_image);
    m_pdf = new QPdfDocument(this);
    m_pdfView = new QPdfView(page);
    m_pdfView->setObjectName(u"pdf_munkalap"_s);
    m_pdfView->setDocument(m_pdf);
    m_pdfView->setPageMode(QPdfView::PageMode::MultiPage);
    m_pdfView->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_viewer->addWidget(m_noSheet);
    m_viewer->addWidget(m_imageArea);
    m_viewer->addWidget(m_pdfView);
    v->addWidget(m_viewer, 1);
    return page;
}

QWidget* Telvegezfm::buildList()
{
    auto* box = new QWidget(this);
    auto* v = new QVBoxLayout(box);
    v->setContentsMargins(0, 0, 0, 0);
    auto* top = new QHBoxLayout;
    auto* caption = new QLabel(u"Tételszám:"_s, box);
    caption->setObjectName(u"l_tetelszam"_s);
    m_count->setObjectName(u"l_darab"_s);
    m_count->setText(u"0"_s);
    top->addWidget(caption);
    top->addWidget(m_count);
    top->addStretch();
    v->addLayout(top);
    setUpRowList(m_list, u"grid_park"_s, m_rows, RowNumbers::Shown);
    m_list->horizontalHeader()->setSectionsClickable(true);
    // Widths come from what each column holds and its title, never from the rows.
    const QFontMetrics cells = m_list->fontMetrics();
    const QFontMetrics titles = m_list->horizontalHeader()->fontMetrics();
    for (int i = 0; i < int(std::size(listWidths)); ++i)
        m_list->setColumnWidth(
            i, std::max(cells.horizontalAdvance(QString(listWidths[i], u'0')),
                        titles.horizontalAdvance(listColumns()[size_t(i)].title) + 12) +
                   10);
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &Telvegezfm::orderByColumn);
    connect(m_list, &QTableView::doubleClicked, this, [this] { loadCurrent(); });
    v->addWidget(m_list, 1);
    box->setMinimumHeight(m_list->fontMetrics().height() * 10);
    return box;
}

// ---- opening

void Telvegezfm::initialise()
{
    m_mode = completionModeOf(mode()).value_or(CompletionMode::Document);
    if (m_activities.all().empty()) {
        QString error;
        if (std::optional<Activities> read = Activities::read(u"d_mivo"_s, &error))
            m_activities = *read;
        else
            messages::showError(error);
        m_filling = true;
        m_activity->clear();
        m_activity->addItems(m_activities.names());
        m_filling = false;
    }
    m_rows->clear();
    m_statement = {};
    m_order = 0;
    m_sheetNumber.clear();
    m_completion = Completion();
    m_completion.mode = m_mode;
    clearPages();
    setEditing(false);
    clearFilter();
    m_pages->setTabVisible(SheetPage, Ini::instance().contains(u"JPG_PDF"_s));
    if (m_mode == CompletionMode::Correct) {
        m_count->setText(u"0"_s);
        if (edit(u"e_munkadtol"_s)->text().isEmpty()) {
            edit(u"e_munkadtol"_s)->setText(alt::today().left(8) + u"01"_s);
            edit(u"e_munkadig"_s)->setText(alt::today());
        }
    } else {
        acceptFilter();
    }
    m_pages->setCurrentIndex(FilterPage);
}

void Telvegezfm::editingChanged(bool editing)
{
    commands().command(u"ok"_s)->setEnabled(editing);
    commands().command(u"megsem"_s)->setEnabled(editing);
    for (const Page page : {WorkPage, CustomerPage, AppliancePage, PartsPage})
        m_pages->widget(page)->setEnabled(editing);
}

void Telvegezfm::closeEvent(QCloseEvent* event)
{
    if (editing() && !messages::confirm(u"Még nem tárolta le! Eldobja a módosításokat?"_s)) {
        event->ignore();
        return;
    }
    setEditing(false);
    Screen::closeEvent(event);
}

// ---- the list

CompletionFilter Telvegezfm::readFilter() const
{
    CompletionFilter f;
    f.munkadTol = edit(u"e_munkadtol"_s)->text();
    f.munkadIg = edit(u"e_munkadig"_s)->text();
    f.tervdTol = edit(u"e_tervdtol"_s)->text();
    f.tervdIg = edit(u"e_tervdig"_s)->text();
    f.ugyfel = m_filterCustomer;
    f.ugyfelNev = edit(u"e_fugyfelnev"_s)->text();
    f.varos = edit(u"e_fvaros"_s)->text();
    f.szerelo = edit(u"e_fszerelo"_s)->text();
    f.tipus = m_filterType;
    f.tipusKod = edit(u"e_ftipus"_s)->text();
    f.munkaszam = edit(u"e_fmunkaszam"_s)->text();
    f.szamlaszam = edit(u"e_fszamlaszam"_s)->text();
    return f;
}

void Telvegezfm::showFilter(const CompletionFilter& f)
{
    edit(u"e_munkadtol"_s)->setText(f.munkadTol);
    edit(u"e_munkadig"_s)->setText(f.munkadIg);
    edit(u"e_tervdtol"_s)->setText(f.tervdTol);
    edit(u"e_tervdig"_s)->setText(f.tervdIg);
    edit(u"e_fugyfelnev"_s)->setText(f.ugyfelNev);
    edit(u"e_fvaros"_s)->setText(f.varos);
    edit(u"e_fszerelo"_s)->setText(f.szerelo);
    edit(u"e_ftipus"_s)->setText(f.tipusKod);
    edit(u"e_ftipusnev"_s)->clear();
    edit(u"e_fmunkaszam"_s)->setText(f.munkaszam);
    edit(u"e_fszamlaszam"_s)->setText(f.szamlaszam);
    m_filterCustomer = f.ugyfel;
    m_filterType = f.tipus;
}

void Telvegezfm::clearFilter()
{
    showFilter(clearedFilter(m_mode, alt::today()));
}

bool Telvegezfm::acceptFilter()
{
    if (const std::optional<Refusal> refusal = checkFilter(readFilter())) {
        refuse(refusal->message, refusal->focus);
        return false;
    }
    return readList(0);
}

void Telvegezfm::orderByColumn(int column)
{
    if (column < 0 || column >= int(listColumns().size()))
        return;
    m_order = positionOf(listColumns()[size_t(column)].field);
    if (!m_statement.sql.isEmpty())
        readList(0);
}

bool Telvegezfm::readList(int selectKod)
{
    const int previous = std::max(0, m_list->currentIndex().row());
    m_statement = completionListStatement(m_mode, readFilter(), m_order);
    QString error;
    const bool ok = m_rows->read(m_statement.sql, m_statement.params, &error);
    m_count->setText(QString::number(m_rows->rowCount()));
    if (!ok) {
        messages::showError(error);
        return false;
    }
    int row = 0;
    if (selectKod != 0) {
        row = std::min(previous, m_rows->rowCount() - 1);
        for (int i = 0; i < m_rows->rowCount(); ++i) {
            if (m_rows->value(i, u"KOD"_s).toInt() == selectKod)
                row = i;
        }
    }
    if (m_rows->rowCount() > 0)
        m_list->setCurrentIndex(m_rows->index(std::max(0, row), 0));
    return true;
}

QString Telvegezfm::exportList(const QString& fileName)
{
    const SqlStatement s = m_statement.sql.isEmpty()
                               ? completionListStatement(m_mode, readFilter(), m_order)
                               : m_statement;
    db::Query q(u"d_mivo"_s);
    q.setSql(s.sql);
    for (const auto& [name, value] : s.params)
        q.bind(name, value);
    data::QueryRows rows(q, u"MUNKA"_s);
    for (const data::ShownColumn& c : listColumns())
        rows.setLabel(c.field, c.title);
    return reports::TQexportfm::instance().exportRows(rows, fileName);
}

// ---- loading, storing, dropping

bool Telvegezfm::loadRow()
{
    const int row = m_list->currentIndex().row();
    const ListedJob job = listedJobAt(*m_rows, row);
    if (job.kod == 0)
        return false;
    QString error;
    std::optional<Completion> loaded =
        loadCompletion(job, m_mode, m_activities, u"d_mivo"_s, &error);
    if (!loaded) {
        messages::showError(error);
        return false;
    }
    m_completion = std::move(*loaded);
    m_sheetNumber = job.munkaszam;
    showCompletion();
    return true;
}

void Telvegezfm::loadCurrent()
{
    if (refuseWhileEditing())
        return;
    if (!loadRow())
        return;
    setEditing(true);
    m_pages->setCurrentIndex(WorkPage);
    focusOn(u"e_nap"_s);
}

void Telvegezfm::store()
{
    if (!editing())
        return;
    readFields();
    const Completion& c = m_completion;
    if (const std::optional<Refusal> refusal = checkCompletionFields(c, m_activities)) {
        refuse(refusal->message, refusal->focus);
        return;
    }
    QString focus;
    if (!completionAllowed(c, m_activities, &focus)) {
        focusOn(focus);
        return;
    }
    const CompletionStore store;
    const CompletionResult result = store.store(c, m_activities);
    if (!result.ok()) {
        // Everything typed stays: the user may correct it and store again.
        if (result.status == CompletionResult::Failed && result.focus.isEmpty())
            messages::showError(result.message);
        else
            refuse(result.message, result.focus);
        return;
    }
    // The question comes after the commit: no dialog while a transaction is open.
    QString error;
    const std::optional<int> same = store.sameVisitCount(c, &error);
    if (!same) {
        messages::showError(error);
    } else if (*same > 0 && messages::confirm(QString::number(*same) +
                                              u" azonos jellegű munkát találtam.\n"
                                              "Mindegyiket elvégzettnek tekintjük?"_s)) {
        if (const CompletionResult all = store.documentSameVisit(c, m_activities); !all.ok())
            messages::showError(all.message);
    }
    reloadAfterStore();
}

void Telvegezfm::reloadAfterStore()
{
    readList(m_completion.job.kod);
    setEditing(false);
    if (!loadRow())
        clearPages();
}

void Telvegezfm::cancel()
{
    if (!editing() || !messages::confirm(u"Még nem tárolta le! Eldobja a módosításokat?"_s))
        return;
    setEditing(false);
    if (!loadRow())
        clearPages();
}

void Telvegezfm::refuse(const QString& message, const QString& focus)
{
    messages::show(message);
    focusOn(focus);
}

void Telvegezfm::focusOn(const QString& name)
{
    if (name.isEmpty())
        return;
    auto* w = findChild<QWidget*>(name);
    if (!w)
        return;
    for (int page = 0; page < m_pages->count(); ++page) {
        if (m_pages->widget(page)->isAncestorOf(w))
            m_pages->setCurrentIndex(page);
    }
    w->setFocus();
}

// ---- the pages and the completion

const Completion& Telvegezfm::completion()
{
    if (editing())
        readFields();
    return m_completion;
}

void Telvegezfm::clearPages()
{
    m_filling = true;
    for (const Page page : {WorkPage, CustomerPage, AppliancePage}) {
        for (QLineEdit* e : m_pages->widget(page)->findChildren<QLineEdit*>())
            e->clear();
    }
    m_activity->setCurrentIndex(-1);
    m_parts->clearContents();
    m_parts->setRowCount(8);
    edit(u"e_gjsorszam"_s)->clear();
    m_filling = false;
    showPartsPage(false);
}

void Telvegezfm::showCompletion()
{
    const Completion& c = m_completion;
    m_filling = true;
    const std::pair<const char16_t*, QString> texts[] = {
        {u"e_munkakod", QString::number(c.job.kod)},
        {u"e_szerelot", c.job.szerelot},
        {u"e_szerelotnev", c.szerelotNev},
        {u"e_szerelo", c.szerelom},
        {u"e_szerelonev", c.szerelomNev},
        {u"e_nap", c.munkad},
        {u"e_munkaszam", c.munkaszam},
        {u"e_szamlaszam", c.szamlaszam},
        {u"e_leirasm", c.leirasm},
        {u"e_juzer", c.job.juzer},
        {u"e_hiba", c.hiba},
        {u"e_leirast", c.job.leirast},
        {u"e_lemondta", c.job.lemondta},
        {u"e_ugyfelnev", c.customer.nev},
        {u"e_irszam", c.customer.irszam},
        {u"e_varos", c.customer.varos},
        {u"e_utca", c.customer.utca},
        {u"e_tel", c.customer.telefon},
        {u"e_fax", c.customer.fax},
        {u"e_mail", c.customer.email},
        {u"e_komment", c.customer.komment},
        {u"e_komment2", c.customer.komment2},
        {u"e_ugyfelkod", QString::number(c.customer.kod)},
        {u"e_keszulek", c.tipusKod},
        {u"e_keszuleknev", c.tipusNev},
        {u"e_tipus", c.tipus ? QString::number(c.tipus) : QString()},
        {u"e_gyariszam", c.gyariszam},
        {u"e_gjsorszam", c.gjsorszam},
    };
    for (const auto& [name, text] : texts) {
        QLineEdit* e = edit(QString::fromUtf16(name));
        e->setText(text);
        e->setCursorPosition(0);
    }
    for (const SheetField& f : sheetFields()) {
        QLineEdit* e = edit(f.edit);
        e->setText(c.sheet.count(f.column) ? c.sheet.at(f.column) : QString());
        e->setCursorPosition(0);
    }
    // The sheet number is given once: a stored sheet keeps its number.
    edit(u"e_sorszam"_s)->setReadOnly(!c.sheetNumber().isEmpty());
    m_activity->setCurrentIndex(
        c.tevekenyseg.isEmpty() ? -1 : m_activity->findText(c.tevekenyseg, Qt::MatchExactly));
    m_filling = false;
    showParts();
    showPartsPage(c.partsShown);
    // The heating system's name.
    if (const QString code =
            c.sheet.count(u"FUTESIREND"_s) ? c.sheet.at(u"FUTESIREND"_s) : QString();
        !code.isEmpty()) {
        QString error;
        const QVariant name = db::scalar(u"d_mivo"_s, u"SELECT NEV FROM FUTREND WHERE KOD = :kod"_s,
                                         {{u"kod"_s, code}}, &error);
        edit(u"e_futrendnev"_s)->setText(name.toString().trimmed());
    } else {
        edit(u"e_futrendnev"_s)->clear();
    }
}

void Telvegezfm::showParts()
{
    m_filling = true;
    const std::vector<PartRow>& rows = m_completion.parts;
    m_parts->clearContents();
    m_parts->setRowCount(std::max(8, int(rows.size()) + 1));
    for (int r = 0; r < m_parts->rowCount(); ++r) {
        auto* number = new QTableWidgetItem(QString::number(r + 1));
        number->setFlags(Qt::ItemIsEnabled);
        m_parts->setItem(r, NumberColumn, number);
        const PartRow row = r < int(rows.size()) ? rows[size_t(r)] : PartRow();
        m_parts->setItem(r, CodeColumn, new QTableWidgetItem(row.code));
        auto* name = new QTableWidgetItem(row.name);
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        m_parts->setItem(r, NameColumn, name);
        m_parts->setItem(r, QuantityColumn, new QTableWidgetItem(row.quantity));
        m_parts->setItem(
            r, InnerColumn,
            new QTableWidgetItem(row.belsokod ? QString::number(row.belsokod) : QString()));
    }
    m_filling = false;
}

void Telvegezfm::readParts()
{
    std::vector<PartRow> rows;
    const auto text = [this](int r, int c) {
        const QTableWidgetItem* item = m_parts->item(r, c);
        return item ? item->text() : QString();
    };
    for (int r = 0; r < m_parts->rowCount(); ++r) {
        PartRow row;
        row.code = text(r, CodeColumn).trimmed();
        row.name = text(r, NameColumn);
        row.quantity = text(r, QuantityColumn).trimmed();
        row.belsokod = text(r, InnerColumn).toInt();
        rows.push_back(row);
    }
    while (!rows.empty() && rows.back().code.isEmpty() && rows.back().quantity.isEmpty())
        rows.pop_back();
    m_completion.parts = rows;
}

void Telvegezfm::readFields()
{
    Completion& c = m_completion;
    const auto text = [this](const char16_t* name) {
        return edit(QString::fromUtf16(name))->text();
    };
    c.szerelom = text(u"e_szerelo").trimmed();
    c.szerelomNev = text(u"e_szerelonev");
    c.munkad = text(u"e_nap");
    c.tevekenyseg = m_activity->currentIndex() < 0 ? QString() : m_activity->currentText();
    c.munkaszam = text(u"e_munkaszam");
    c.szamlaszam = text(u"e_szamlaszam");
    c.leirasm = text(u"e_leirasm");
    Customer& u = c.customer;
    u.nev = text(u"e_ugyfelnev");
    u.irszam = text(u"e_irszam");
    u.varos = text(u"e_varos");
    u.utca = text(u"e_utca");
    u.telefon = text(u"e_tel");
    u.fax = text(u"e_fax");
    u.email = text(u"e_mail");
    u.komment = text(u"e_komment");
    u.komment2 = text(u"e_komment2");
    c.gyariszam = text(u"e_gyariszam").trimmed();
    for (const SheetField& f : sheetFields())
        c.sheet[f.column] = edit(f.edit)->text();
    c.gjsorszam = text(u"e_gjsorszam");
    readParts();
}

void Telvegezfm::showPartsPage(bool shown)
{
    m_completion.partsShown = shown;
    m_pages->setTabVisible(PartsPage, shown);
}

void Telvegezfm::activityChosen()
{
    if (m_filling)
        return;
    const Activity* a = m_activities.byName(m_activity->currentText());
    showPartsPage(m_activity->currentIndex() >= 0 && a && a->sorrend == 3);
}

// ---- pickers and field checks

void Telvegezfm::pickPerformer()
{
    const std::optional<TorzsCall> call = pickRow(u"SZERELO"_s, {}, edit(u"e_szerelo"_s)->text());
    if (!call)
        return;
    edit(u"e_szerelo"_s)->setText(pickedField(*call, u"KOD"_s));
    edit(u"e_szerelonev"_s)->setText(pickedField(*call, u"NEV"_s));
}

void Telvegezfm::performerLeft()
{
    QString error;
    const std::optional<QString> name =
        technicianName(edit(u"e_szerelo"_s)->text().trimmed(), u"d_mivo"_s, &error);
    if (!name) {
        messages::showError(error);
        return;
    }
    edit(u"e_szerelonev"_s)->setText(*name);
}

void Telvegezfm::pickCustomer()
{
    readFields();
    const std::optional<Customer> picked = chooseCustomer(m_completion.customer.nev);
    if (!picked)
        return;
    m_completion.customer = *picked;
    m_completion.remembered = *picked;
    showCompletion();
}

void Telvegezfm::postalCodeLeft()
{
    const QString code = edit(u"e_irszam"_s)->text().trimmed();
    if (code.isEmpty() || m_filling)
        return;
    QString error;
    const std::optional<QString> town = townOfPostalCode(code, &error);
    if (!error.isEmpty())
        messages::showError(error);
    if (town)
        edit(u"e_varos"_s)->setText(*town);
}

void Telvegezfm::pickPostalCode()
{
    const std::optional<TorzsCall> call = pickRow(u"IRSZAM"_s, {}, edit(u"e_varos"_s)->text());
    if (!call)
        return;
    edit(u"e_irszam"_s)->setText(pickedField(*call, u"IRSZAM"_s));
    edit(u"e_varos"_s)->setText(pickedField(*call, u"HELYSEG"_s));
}

void Telvegezfm::pickApplianceType()
{
    const std::optional<TorzsCall> call =
        pickRow(u"ARU"_s, u"WHERE JELLEG='K'"_s, edit(u"e_keszuleknev"_s)->text());
    if (!call)
        return;
    readFields();
    m_completion.tipusKod = pickedField(*call, u"KOD"_s);
    m_completion.tipusNev = pickedField(*call, u"NEV"_s);
    m_completion.tipus = pickedField(*call, u"BELSOKOD"_s).toInt();
    showCompletion();
}

void Telvegezfm::pickSerial()
{
    const std::optional<TorzsCall> call =
        pickRow(u"VW_KESZULEK"_s, u"WHERE NOT GYARISZAM IS NULL AND GYARISZAM <> ''"_s,
                edit(u"e_gyariszam"_s)->text());
    if (!call)
        return;
    readFields();
    Completion& c = m_completion;
    QString error;
    if (!takeAppliance(c, pickedField(*call, u"KOD"_s).toInt(), pickedField(*call, u"GYARISZAM"_s),
                       u"d_mivo"_s, &error)) {
        messages::showError(error);
        return;
    }
    c.tipusKod = pickedField(*call, u"ARUKOD"_s);
    c.tipusNev = pickedField(*call, u"ARUNEV"_s);
    showCompletion();
}

void Telvegezfm::pickHeating()
{
    const std::optional<TorzsCall> call =
        pickRow(u"FUTREND"_s, {}, edit(u"e_futesirend"_s)->text());
    if (!call)
        return;
    edit(u"e_futesirend"_s)->setText(pickedField(*call, u"KOD"_s));
    edit(u"e_futrendnev"_s)->setText(pickedField(*call, u"NEV"_s));
}

void Telvegezfm::pickCompany(const QString& prefix)
{
    const std::optional<TorzsCall> call =
        pickRow(u"KULSOCEG"_s, {}, edit(u"e_"_s + prefix + u"ceg"_s)->text());
    if (!call)
        return;
    readFields();
    const QString code = prefix == u"felsz"_s ? u"FELSZCEGKOD"_s : u"UZEMBEKOD"_s;
    const QString column = prefix.toUpper();
    m_completion.sheet[code] = pickedField(*call, u"KOD"_s);
    m_completion.sheet[column + u"CEG"_s] = pickedField(*call, u"NEV"_s);
    m_completion.sheet[column + u"IRSZAM"_s] = pickedField(*call, u"IRSZAM"_s);
    m_completion.sheet[column + u"VAROS"_s] = pickedField(*call, u"VAROS"_s);
    m_completion.sheet[column + u"UTCA"_s] = pickedField(*call, u"UTCA"_s);
    showCompletion();
}

void Telvegezfm::pickPart()
{
    const std::optional<TorzsCall> call = pickRow(u"ARU"_s, u"Where ARU.JELLEG='A'"_s, {});
    if (!call)
        return;
    int row = -1;
    for (int r = 0; r < m_parts->rowCount() && row < 0; ++r) {
        const QTableWidgetItem* code = m_parts->item(r, CodeColumn);
        if (!code || code->text().trimmed().isEmpty())
            row = r;
    }
    if (row < 0) {
        row = m_parts->rowCount();
        m_parts->setRowCount(row + 1);
    }
    m_filling = true;
    const auto put = [&](int column, const QString& text) {
        QTableWidgetItem* item = m_parts->item(row, column);
        if (!item)
            m_parts->setItem(row, column, item = new QTableWidgetItem);
        item->setText(text);
    };
    put(NumberColumn, QString::number(row + 1));
    put(CodeColumn, pickedField(*call, u"KOD"_s));
    put(NameColumn, pickedField(*call, u"NEV"_s));
    put(QuantityColumn, u"1"_s);
    put(InnerColumn, pickedField(*call, u"BELSOKOD"_s));
    m_filling = false;
}

void Telvegezfm::partChanged(int row, int column)
{
    if (m_filling || column != CodeColumn)
        return;
    // Looked up whenever the code changes, so that the name and the internal code always
    // belong to the code shown.
    const QString code = m_parts->item(row, CodeColumn)->text().trimmed();
    m_filling = true;
    const auto put = [&](int c, const QString& text) {
        QTableWidgetItem* item = m_parts->item(row, c);
        if (!item)
            m_parts->setItem(row, c, item = new QTableWidgetItem);
        item->setText(text);
    };
    if (code.isEmpty()) {
        put(NameColumn, {});
        put(InnerColumn, {});
    } else {
        QString error;
        const auto part = partByCode(code, u"d_mivo"_s, &error);
        if (!part)
            messages::showError(error);
        const bool found = part && *part;
        put(NameColumn, found ? (*part)->name : noPart);
        put(InnerColumn, found ? QString::number((*part)->belsokod) : QString());
    }
    m_filling = false;
}

void Telvegezfm::pressLetter(const QString& field, const QString& letters)
{
    QLineEdit* e = edit(field);
    e->setText(nextLetter(e->text(), letters));
}

void Telvegezfm::letterLeft(const QString& field, const QString& letters)
{
    QLineEdit* e = edit(field);
    if (m_checking || m_filling || letterAccepted(e->text(), letters))
        return;
    m_checking = true;
    messages::show(u"Csak ezek a betűk elfogadhatók: "_s + letters);
    e->setFocus();
    m_checking = false;
}

void Telvegezfm::dateLeft(const QString& field)
{
    QLineEdit* e = edit(field);
    const QString text = e->text().trimmed();
    if (m_checking || m_filling || text.isEmpty() || alt::isBlankDate(text))
        return;
    m_checking = true;
    if (!alt::validateDate(text, true))
        e->setFocus();
    m_checking = false;
}

void Telvegezfm::pickDay(const QString& field)
{
    QLineEdit* e = edit(field);
    const QString date = pickDate(e->text());
    if (!date.isEmpty())
        e->setText(date);
}

void Telvegezfm::pickFilterCustomer()
{
    const std::optional<TorzsCall> call = pickRow(u"UGYFEL"_s, {}, edit(u"e_fugyfelnev"_s)->text());
    if (!call)
        return;
    m_filterCustomer = pickedField(*call, u"KOD"_s).toInt();
    edit(u"e_fugyfelnev"_s)->setText(pickedField(*call, u"NEV"_s));
    edit(u"e_fvaros"_s)->setText(pickedField(*call, u"VAROS"_s));
}

void Telvegezfm::pickFilterTechnician()
{
    const std::optional<TorzsCall> call = pickRow(u"SZERELO"_s, {}, edit(u"e_fszerelo"_s)->text());
    if (call)
        edit(u"e_fszerelo"_s)->setText(pickedField(*call, u"KOD"_s));
}

void Telvegezfm::pickFilterType()
{
    const std::optional<TorzsCall> call =
        pickRow(u"ARU"_s, u"WHERE JELLEG='K'"_s, edit(u"e_ftipusnev"_s)->text());
    if (!call)
        return;
    m_filterType = pickedField(*call, u"BELSOKOD"_s).toInt();
    edit(u"e_ftipus"_s)->setText(pickedField(*call, u"KOD"_s));
    edit(u"e_ftipusnev"_s)->setText(pickedField(*call, u"NEV"_s));
}

// ---- the scanned job sheet

QString Telvegezfm::sheetViewer() const
{
    return m_viewer->currentWidget()->objectName();
}

void Telvegezfm::showSheetFile()
{
    const QString folder = paths::localPath(Ini::instance().value(u"JPG_PDF"_s));
    const QString number = m_sheetNumber.trimmed();
    QString file;
    if (!number.isEmpty()) {
        for (const char16_t* extension : {u".PDF", u".JPG", u".BMP"}) {
            file = paths::findFileNoCase(folder, number + QString::fromUtf16(extension));
            if (!file.isEmpty())
                break;
        }
    }
    edit(u"e_munkalapfajl"_s)
        ->setText(file.isEmpty() ? QDir(folder).filePath(number) : QDir::toNativeSeparators(file));
    showFile(file);
}

void Telvegezfm::showFile(const QString& path)
{
    m_sheetFile.clear();
    m_pdf->close();
    m_image->clear();
    const QString extension = path.section(u'.', -1).toUpper();
    if (!path.isEmpty() && QFileInfo::exists(path)) {
        if (extension == u"PDF"_s && m_pdf->load(path) == QPdfDocument::Error::None) {
            m_sheetFile = path;
            m_viewer->setCurrentWidget(m_pdfView);
            return;
        }
        if (extension == u"JPG"_s || extension == u"BMP"_s) {
            const QImage image(path);
            if (!image.isNull()) {
                m_image->setPixmap(QPixmap::fromImage(image));
                m_image->adjustSize();
                m_sheetFile = path;
                m_viewer->setCurrentWidget(m_imageArea);
                return;
            }
        }
    }
    m_viewer->setCurrentWidget(m_noSheet);
}

void Telvegezfm::browseSheetFile()
{
    QString current = edit(u"e_munkalapfajl"_s)->text();
    if (m_sheetNumber.trimmed().isEmpty())
        current += u'_';
    files::FileRequest request;
    request.objectName = u"od_munkalap"_s;
    request.folder = QFileInfo(current).path();
    request.fileName = QFileInfo(current).fileName();
    request.filters = {u"Adobe Acrobat fájl (*.PDF *.pdf)"_s, u"JPEG kép (*.JPG *.jpg)"_s,
                       u"Bitmap kép (*.BMP *.bmp)"_s};
    request.defaultSuffix = u"PDF"_s;
    const auto chosen = files::chooseFile(this, request);
    if (!chosen)
        return;
    edit(u"e_munkalapfajl"_s)->setText(QDir::toNativeSeparators(chosen->path));
    showFile(chosen->path);
}

} // namespace mivo::workflow
