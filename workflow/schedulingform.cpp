#include "schedulingform.h"

#include "customerlists.h"
#include "customerpick.h"
#include "jobrepository.h"
#include "napirend.h"
#include "napirendgrid.h"
#include "partshook.h"
#include "postalcode.h"
#include "requestchecks.h"
#include "requestfields.h"
#include "requeststore.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/getdatum.h"
#include "core/ini.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/sqltext.h"
#include "reports/dailyprint.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

SchedulingForm::SchedulingForm(ScheduleForm form, QWidget* parent)
    : Screen(parent), m_form(form), m_fields(new RequestFields(this)),
      m_lists(new CustomerLists(this)), m_grid(new NapirendGrid(form, this)),
      m_slots(m_grid->model(), form)
{
    addCommands();
    connectFields();
}

void SchedulingForm::addCommands()
{
    addCommandButton(u"ujadatlap"_s, u"Új &adatlap"_s, [this] { startNew(); });
    addCommandButton(u"modosit"_s, u"&Módosítás"_s, {});
    addCommandButton(u"kiosztorol"_s, u"&Kiosztás törlése"_s, [this] { clearSlot(); });
    addCommandButton(u"tarol"_s, u"&Tárolás"_s, [this] { store(); });
    addCommandButton(u"megsem"_s, u"Még&sem"_s, [this] { cancel(); });
    addCommandButton(u"elozmeny"_s, u"&Előzménylista"_s, [this] {
        sync();
        reports::printHistory(m_request.customer.kod, m_request.keszulek, this);
    });
    commands().command(u"elozmeny"_s)->setEnabled(false);
    addCommandButton(u"frissit"_s, u"&Frissítés"_s, [this] { m_grid->refreshAll(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();
}

void SchedulingForm::connectFields()
{
    connect(m_fields, &RequestFields::buttonPressed, this, [this](const QString& name) {
        const std::pair<const char16_t*, void (SchedulingForm::*)()> handlers[] = {
            {u"b_ugyfel", &SchedulingForm::pickCustomer},
            {u"b_ujugyfel", &SchedulingForm::newCustomer},
            {u"b_irszam", &SchedulingForm::pickPostalCode},
            {u"b_keszulek", &SchedulingForm::pickApplianceType},
            {u"b_nap", &SchedulingForm::pickDay},
            {u"b_kulsos", &SchedulingForm::pickExternal},
            {u"b_alk", &SchedulingForm::pickParts},
        };
        for (const auto& [button, handler] : handlers) {
            if (name == QString::fromUtf16(button))
                (this->*handler)();
        }
    });
    connect(m_fields, &RequestFields::postalCodeLeft, this, &SchedulingForm::postalCodeLeft);
    connect(m_fields, &RequestFields::requestDateLeft, this, &SchedulingForm::requestDateLeft);
    connect(m_lists, &CustomerLists::applianceSelected, this, &SchedulingForm::applianceSelected);
    connect(m_grid, &NapirendGrid::cellChosen, this, &SchedulingForm::cellChosen);
    connect(m_grid, &NapirendGrid::moveRequested, this, &SchedulingForm::moveJob);
    connect(m_grid, &NapirendGrid::modifyRequested, this, &SchedulingForm::modifyJob);
}

void SchedulingForm::initialise()
{
    const Td& td = Td::instance();
    m_grid->setJobHistoryAvailable(td.jobHistoryAvailable);
    m_lists->setLettersVisible(td.lettersAvailable);
    if (m_form == ScheduleForm::Entry)
        m_slots.setPastDaysAllowed(Ini::instance().value(u"LEHETREGI"_s, u"N"_s) != u"N"_s);

    db::Query activities;
    activities.setSql(u"SELECT * FROM TEVEKENYS ORDER BY NEV"_s);
    QStringList names;
    if (activities.exec()) {
        while (activities.next())
            names << activities.text(u"NEV"_s);
    } else {
        messages::showError(activities.lastError());
    }
    m_fields->setActivities(names);

    applyMode();
    setEditing(false);
    m_grid->build(td.ownCompany, alt::today());
    resetRequest();
    rereadList();
}

void SchedulingForm::applyMode()
{
    const bool entry = mode() == "U"_L1;
    commands().command(u"ujadatlap"_s)->setVisible(entry);
    commands().command(u"modosit"_s)->setVisible(!entry);
    m_lists->setHistoryVisible(entry);
    m_fields->setWorkDescriptionVisible(mode() == "Z"_L1 || mode() == "F"_L1);
}

void SchedulingForm::editingChanged(bool editing)
{
    m_fields->setEditing(editing);
    m_lists->setEditing(editing);
    m_grid->actions().setEditing(editing);
    for (const char16_t* name : {u"tarol", u"megsem", u"kiosztorol"})
        commands().command(QString::fromUtf16(name))->setEnabled(editing);
}

const Request& SchedulingForm::request()
{
    sync();
    return m_request;
}

void SchedulingForm::sync()
{
    if (!editing())
        return;
    m_fields->readInto(m_request);
    m_request.valaszolt = m_lists->valaszolt();
}

void SchedulingForm::showRequest()
{
    m_fields->showRequest(m_request);
}

void SchedulingForm::resetRequest()
{
    const RequestMode base = modeOfLetter(mode()).value_or(RequestMode::New);
    m_request = Request();
    m_request.baseMode = m_request.currentMode = base;
    m_request.datum = alt::today();
    m_fields->reset();
    m_lists->clear();
    m_grid->model().setPending(std::nullopt);
    m_grid->model().setHiddenJob(0);
    if (PartsHook* parts = partsHook())
        parts->empty();
    commands().command(u"elozmeny"_s)->setEnabled(false);
    showRequest();
}

void SchedulingForm::focusStart()
{
    const char16_t* name = mode() == "U"_L1 ? u"b_ujadatlap" : u"b_modosit";
    if (auto* b = findChild<QPushButton*>(QString::fromUtf16(name)))
        b->setFocus();
}

void SchedulingForm::refuse(const QString& message, const QString& focus)
{
    messages::show(message);
    if (auto* w = findChild<QWidget*>(focus))
        w->setFocus();
}

// ---- a request from the start to its end

void SchedulingForm::startNew()
{
    sync();
    if (editing() && m_request.hasCustomer() &&
        !messages::confirm(u"Nem tárolta le! Biztosan újat kezd?"_s))
        return;
    resetRequest();
    setEditing(true);
    m_grid->refreshAll();
    m_fields->edit(u"e_ugyfelnev"_s)->setFocus();
}

void SchedulingForm::loadJob(const GridJob& job, RequestMode mode)
{
    resetRequest();
    Request& r = m_request;
    r.currentMode = mode;
    r.customer = job.customer;
    r.remembered = job.customer;
    r.problema = job.leirast;
    r.leirasm = job.leirasm;
    r.tipusKod = job.keszulekkod;
    r.tipusNev = job.keszuleknev;
    r.keszulek = job.keszulek;
    r.tipus = job.tipus;
    r.tevekenyseg = job.tevnev;
    r.dedu = job.dedu;
    r.telefon = job.telefon == u"I"_s;
    r.lemondta = job.lemondta == u"I"_s;
    r.kesz = job.kesz == u"I"_s;
    r.jobCode = job.kod;
    r.loadedState = job.allapot;
    r.loadedTechnician = job.szerelot;
    r.loadedActivity = job.tervtev;
    const bool fromGrid = mode == RequestMode::Move || mode == RequestMode::Modify;
    r.datum = fromGrid || job.tervd > alt::today() ? job.tervd : alt::today();
    QString error;
    const std::optional<QString> parts = JobRepository().partCodes(job.kod, &error);
    if (!parts)
        messages::showError(error);
    r.alk = parts.value_or(QString());
    if (PartsHook* hook = partsHook()) {
        if (const PartsHook::Result prepared = hook->prepare(job.kod, job.szerelot); !prepared.ok)
            messages::showError(prepared.message);
    }
    setEditing(true);
    showCustomer();
    showRequest();
    if (!fromGrid)
        m_grid->setAllDates(r.datum);
}

bool SchedulingForm::storeAllowed()
{
    Request& r = m_request;
    if (const std::optional<Refusal> refusal = checkFields(r, m_form)) {
        refuse(refusal->message, refusal->focus);
        return false;
    }
    switch (r.slot.kind) {
    case Slot::None:
        if (r.currentMode != RequestMode::New) {
            messages::show(u"Nem osztotta ki szerelőhöz!"_s);
            return false;
        }
        if (!messages::confirm(u"Nem osztotta ki szerelőhöz! Később adja ki a munkát?"_s))
            return false;
        break;
    case Slot::Grid: {
        if (!m_slots.confirmDay(r))
            return false;
        // Told before the question; the store checks again under the day's lock.
        QString error;
        const std::optional<bool> taken =
            JobRepository().slotTakenByOther(r.slot.technician, r.datum, r.ora, r.jobCode, &error);
        if (!taken) {
            messages::showError(error);
            return false;
        }
        if (*taken) {
            slotTaken();
            return false;
        }
        break;
    }
    case Slot::External:
        break;
    }
    if (!messages::confirm(u"Tárolható?"_s))
        return false;
    if (const std::optional<Refusal> refusal = checkCustomerCode(r)) {
        refuse(refusal->message, refusal->focus);
        return false;
    }
    return true;
}

void SchedulingForm::store()
{
    sync();
    if (!editing() || !storeAllowed())
        return;
    const StoreResult result = RequestStore().store(m_request);
    switch (result.status) {
    case StoreResult::SlotTaken:
        slotTaken();
        return;
    case StoreResult::Refused:
        messages::show(result.message);
        rereadList();
        return;
    case StoreResult::Failed:
        messages::showError(result.message);
        return;
    case StoreResult::Stored:
        break;
    }
    if (result.newCustomer && m_form == ScheduleForm::Entry)
        markTorzsForRereading(u"UGYFEL_UGYFEL_Torzsfm"_s);
    resetRequest();
    setEditing(false);
    m_grid->refreshAll();
    rereadList();
    focusStart();
}

void SchedulingForm::slotTaken()
{
    const int column = m_grid->model().columnOf(m_request.slot.technician);
    const QString date = m_request.slot.date;
    messages::show(RequestStore::slotTakenMessage());
    m_slots.clear(m_request);
    showRequest();
    if (column > 0)
        m_grid->refreshColumn(column, date);
}

void SchedulingForm::cancel()
{
    if (!messages::confirm(u"Nem tárolta le! Eldobja az adatbevitelt?"_s))
        return;
    const std::optional<Slot> former =
        m_request.currentMode == RequestMode::Move ? m_request.former : std::nullopt;
    resetRequest();
    setEditing(false);
    // The moved job shows again in the cell it never left in the database.
    if (former)
        m_grid->refreshColumn(former->cell.column, former->date);
    focusStart();
}

void SchedulingForm::clearSlot()
{
    sync();
    m_slots.clear(m_request);
    showRequest();
}

void SchedulingForm::closeEvent(QCloseEvent* event)
{
    sync();
    // A request with a customer typed is as much lost as one with a slot chosen.
    const bool unsaved = editing() && (!m_request.szerelo.isEmpty() || m_request.hasCustomer());
    if (unsaved && !messages::confirm(u"Nem tárolta le! Biztosan kilép?"_s)) {
        event->ignore();
        return;
    }
    Screen::closeEvent(event);
}

// ---- the request's fields

void SchedulingForm::pickCustomer()
{
    sync();
    const std::optional<Customer> picked = chooseCustomer(m_request.customer.nev);
    if (!picked)
        return;
    m_request.customer = *picked;
    m_request.remembered = *picked;
    m_request.keszulek = 0;
    showCustomer();
    showRequest();
}

void SchedulingForm::showCustomer()
{
    // The appliance list reports its first row at once, and that handler reads the fields.
    showRequest();
    Request& r = m_request;
    m_lists->showAppliances(r.customer.kod, r.keszulek);
    const bool none = m_lists->applianceCount() == 0;
    r.ujKeszulek = none;
    commands().command(u"elozmeny"_s)->setEnabled(!none);
    if (none) {
        r.keszulek = 0;
        r.gyariszam.clear();
        if (r.jobCode == 0) {
            r.tipus = 0;
            r.tipusKod.clear();
            r.tipusNev.clear();
        }
    }
    if (Td::instance().lettersAvailable) {
        r.letterDate = m_lists->showLetters(r.customer.kod);
        r.letterAnswered = m_lists->newestAnswered();
    }
}

void SchedulingForm::applianceSelected(const ListedAppliance& a)
{
    sync();
    m_request.gyariszam = a.gyariszam;
    m_request.tipusKod = a.aruKod;
    m_request.tipusNev = a.nev;
    m_request.keszulek = a.kod;
    m_request.tipus = a.tipus;
    m_lists->showHistory(a.kod);
    showRequest();
}

void SchedulingForm::newCustomer()
{
    sync();
    m_request.customer = Customer();
    m_request.keszulek = 0;
    m_request.ujKeszulek = true;
    m_request.gyariszam.clear();
    m_lists->clear();
    commands().command(u"elozmeny"_s)->setEnabled(false);
    showRequest();
    m_fields->edit(u"e_ugyfelnev"_s)->setFocus();
}

void SchedulingForm::pickApplianceType()
{
    sync();
    const std::optional<TorzsCall> call =
        pickRow(u"ARU"_s, u"WHERE JELLEG='K'"_s, m_request.tipusNev);
    if (!call)
        return;
    Request& r = m_request;
    const QString code = pickedField(*call, u"KOD"_s);
    const bool changed = code != r.tipusKod;
    r.tipusKod = code;
    r.tipusNev = pickedField(*call, u"NEV"_s);
    r.tipus = pickedField(*call, u"BELSOKOD"_s).toInt();
    if (changed && r.customer.kod != 0) {
        if (const int row = m_lists->findType(code); row >= 0) {
            showRequest();
            m_lists->selectAppliance(row);
            return;
        }
    }
    if (changed) {
        r.gyariszam.clear();
        r.keszulek = 0;
    }
    showRequest();
}

void SchedulingForm::postalCodeLeft()
{
    sync();
    if (m_request.customer.irszam.isEmpty())
        return;
    QString error;
    const std::optional<QString> town = townOfPostalCode(m_request.customer.irszam, &error);
    if (!error.isEmpty())
        messages::showError(error);
    if (town) {
        m_request.customer.varos = *town;
        showRequest();
    }
}

void SchedulingForm::pickPostalCode()
{
    sync();
    const std::optional<TorzsCall> call = pickRow(u"IRSZAM"_s, {}, m_request.customer.varos);
    if (!call)
        return;
    m_request.customer.irszam = pickedField(*call, u"IRSZAM"_s);
    m_request.customer.varos = pickedField(*call, u"HELYSEG"_s);
    showRequest();
}

void SchedulingForm::pickDay()
{
    sync();
    const QString date = pickDate(m_request.datum);
    if (date.isEmpty())
        return;
    m_request.datum = date;
    showRequest();
    m_grid->setAllDates(date);
}

void SchedulingForm::requestDateLeft()
{
    sync();
    const QString typed = m_request.datum;
    if (m_form == ScheduleForm::Jobs && !alt::validateDate(typed, true)) {
        m_fields->edit(u"e_nap"_s)->setFocus();
        return;
    }
    if (typed.size() == 10 && alt::validateDate(typed, false))
        m_grid->setAllDates(typed);
}

void SchedulingForm::pickExternal()
{
    sync();
    const std::optional<TorzsCall> call =
        pickRow(u"SZERELO"_s, u"WHERE SZERELO.CEGKOD<>"_s + db::literal(Td::instance().ownCompany),
                m_request.kulsos.kod);
    if (!call)
        return;
    m_slots.chooseExternal(m_request,
                           {pickedField(*call, u"KOD"_s), pickedField(*call, u"CEGKOD"_s),
                            pickedField(*call, u"NEV"_s)});
    showRequest();
}

void SchedulingForm::pickParts()
{
    sync();
    Request& r = m_request;
    if (PartsHook* hook = partsHook()) {
        if (r.slot.kind != Slot::Grid) {
            messages::show(u"Nincs kiosztva a munka szerelőhöz!"_s);
            return;
        }
        if (const std::optional<QString> parts = hook->choose(
                {r.alk, r.tipusNev, r.tipusKod, r.tipus, r.slot.technician, r.szerelo})) {
            r.alk = *parts;
            showRequest();
        }
        return;
    }
    const std::optional<TorzsCall> call = pickRow(u"ARU"_s, u"WHERE JELLEG='A'"_s, r.tipusKod);
    if (!call)
        return;
    r.alk = withPartCode(r.alk, pickedField(*call, u"KOD"_s));
    showRequest();
}

// ---- the grid

void SchedulingForm::cellChosen(int column, int row)
{
    if (!editing()) {
        cellClickedIdle(column, row);
        return;
    }
    sync();
    if (m_slots.choose(m_request, column, row))
        showRequest();
}

void SchedulingForm::moveJob(int column, int row, const GridJob& job)
{
    const NapirendModel& model = m_grid->model();
    Slot former{Slot::Grid,
                {column, row},
                model.technician(column).kod,
                model.columnDate(column),
                NapirendModel::hourLabel(row)};
    loadJob(job, RequestMode::Move);
    m_request.former = former;
    m_request.datum = job.tervd;
    // The dispatcher chooses the new cell; the former one reads as free meanwhile.
    m_grid->model().setHiddenJob(job.kod);
    m_grid->model().clearCell(column, row);
    showRequest();
}

void SchedulingForm::modifyJob(int column, int row, const GridJob& job)
{
    const NapirendModel& model = m_grid->model();
    loadJob(job, RequestMode::Modify);
    Request& r = m_request;
    r.slot = {Slot::Grid,
              {column, row},
              model.technician(column).kod,
              model.columnDate(column),
              NapirendModel::hourLabel(row)};
    r.szerelo = model.header(column);
    r.datum = job.tervd;
    r.ora = job.tervt;
    showRequest();
}

} // namespace mivo::workflow
