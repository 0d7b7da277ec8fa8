#include "kiesofm.h"

#include "partshook.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/getdatum.h"
#include "core/messages.h"
#include "framework/torzsmodel.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/sqltext.h"
#include "reports/dailyprint.h"
#include "reports/napilistatext.h"
#include "reports/qrkieso.h"
#include "reports/reportprint.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

QLineEdit* field(QWidget* parent, const QString& name, int characters, bool readOnly)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setReadOnly(readOnly);
    if (characters > 0) {
        e->setMaxLength(characters);
        e->setFixedWidth(e->fontMetrics().horizontalAdvance(u'W') * characters + 16);
    }
    return e;
}

QPushButton* small(QWidget* parent, const QString& name, const QString& text)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFixedWidth(b->fontMetrics().horizontalAdvance(text) + 24);
    return b;
}

} // namespace

Tkiesofm::Tkiesofm(QWidget* parent)
    : Screen(parent), m_szerelo(field(this, u"e_szerelo"_s, 6, true)),
      m_szerelonev(field(this, u"e_szerelonev"_s, 0, true)),
      m_nap(field(this, u"e_nap"_s, 10, false)), m_napnev(field(this, u"e_napnev"_s, 10, true)),
      m_napig(field(this, u"e_napig"_s, 10, false)),
      m_napignev(field(this, u"e_napignev"_s, 10, true)),
      m_tavollet(field(this, u"e_tavollet"_s, 3, true)),
      m_tavolletnev(field(this, u"e_tavolletnev"_s, 0, true)), m_reasonRow(new QWidget(this)),
      m_mind(new QCheckBox(u"Minden szerelő"_s, this)), m_hova(new QGroupBox(this)),
      m_lista(new QRadioButton(u"Lista"_s, m_hova)), m_email(new QRadioButton(u"E-mail"_s, m_hova)),
      m_txt(new QRadioButton(u"TXT fájl"_s, m_hova)), m_jobsView(new QTableView(this)),
      m_marksView(new QTableView(this)), m_jobs(std::make_unique<TorzsModel>(u"d_mivo"_s)),
      m_marks(std::make_unique<TorzsModel>(u"d_mivo"_s))
{
    setObjectName(u"Tkiesofm"_s);
    m_store = addCommandButton(u"tarolas"_s, u"&OK (Tárolás)"_s, [this] { store(); });
    m_start = addCommandButton(u"indul"_s, u"&Indul"_s, [this] { start(); });
    m_list = addCommandButton(u"lista"_s, u"&Lista"_s, [this] { absenceList(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();
    m_mind->setObjectName(u"cb_mind"_s);
    m_hova->setObjectName(u"rg_hova"_s);
    m_lista->setObjectName(u"rb_lista"_s);
    m_email->setObjectName(u"rb_email"_s);
    m_txt->setObjectName(u"rb_txt"_s);
    m_jobsView->setObjectName(u"DBGrid1"_s);
    m_marksView->setObjectName(u"DBGrid2"_s);

    auto* grid = new QGridLayout;
    auto row = [&](int r, const QString& label, QWidget* code, QPushButton* button, QWidget* name) {
        grid->addWidget(new QLabel(label, this), r, 0);
        grid->addWidget(code, r, 1);
        grid->addWidget(button, r, 2);
        grid->addWidget(name, r, 3);
    };
    QPushButton* technician = small(this, u"b_szerelo"_s, u"? "_s);
    QPushButton* first = small(this, u"b_nap"_s, u"Nap"_s);
    QPushButton* last = small(this, u"b_napig"_s, u"Nap"_s);
    row(0, u" Szerelőkód :"_s, m_szerelo, technician, m_szerelonev);
    row(1, u" Dátumtól:"_s, m_nap, first, m_napnev);
    row(2, u" Dátumig:"_s, m_napig, last, m_napignev);
    m_szerelonev->setMinimumWidth(320);
    grid->setColumnStretch(4, 1);

    auto* reason = new QHBoxLayout(m_reasonRow);
    reason->setContentsMargins(0, 0, 0, 0);
    QPushButton* reasonButton = small(m_reasonRow, u"b_tavollet"_s, u"? "_s);
    reason->addWidget(new QLabel(u" Távollét oka :"_s, m_reasonRow));
    reason->addWidget(m_tavollet);
    reason->addWidget(reasonButton);
    reason->addWidget(m_tavolletnev, 1);
    m_tavolletnev->setMinimumWidth(320);

    auto* hova = new QHBoxLayout(m_hova);
    hova->addWidget(m_lista);
    hova->addWidget(m_email);
    hova->addWidget(m_txt);

    auto* options = new QHBoxLayout;
    options->addWidget(m_reasonRow);
    options->addWidget(m_mind);
    options->addWidget(m_hova);
    options->addStretch();

    for (QTableView* v : {m_jobsView, m_marksView}) {
        v->setSelectionBehavior(QAbstractItemView::SelectRows);
        v->setEditTriggers(QAbstractItemView::NoEditTriggers);
        v->horizontalHeader()->setStretchLastSection(true);
    }
    m_jobs->setGridColumns({{u"TERVD"_s, u"Dátum"_s, {}},
                            {u"TERVT"_s, u"Óra"_s, {}},
                            {u"ALLAPOT"_s, u"Állapot"_s, {}},
                            {u"TEVNEV"_s, u"Tevékenység"_s, {}},
                            {u"UGYFELNEV"_s, u"Ügyfél"_s, {}},
                            {u"IRSZAM"_s, u"Irsz."_s, {}},
                            {u"VAROS"_s, u"Település"_s, {}},
                            {u"UTCA"_s, u"Cím"_s, {}},
                            {u"TELEFON"_s, u"Telefon"_s, {}},
                            {u"KESZULEKNEV"_s, u"Készülék"_s, {}},
                            {u"LEIRAST"_s, u"Probléma leírás"_s, {}}});
    m_marks->setGridColumns({{u"DATUM"_s, u"Dátum"_s, {}}, {u"NEV"_s, u"Távollét oka"_s, {}}});
    m_jobs->query().setSql(plannedJobsStatement());
    m_marks->query().setSql(absenceMarksStatement());
    m_jobsView->setModel(m_jobs.get());
    m_marksView->setModel(m_marks.get());

    auto* lists = new QHBoxLayout;
    lists->addWidget(m_jobsView, 3);
    lists->addWidget(m_marksView, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    layout->addLayout(grid);
    layout->addLayout(options);
    layout->addLayout(lists, 1);
    resize(1280, 720);

    connect(technician, &QPushButton::clicked, this, [this] { pickTechnician(); });
    connect(reasonButton, &QPushButton::clicked, this, [this] { pickReason(); });
    connect(first, &QPushButton::clicked, this, [this] { pickFirst(); });
    connect(last, &QPushButton::clicked, this, [this] { pickLast(); });
    m_nap->installEventFilter(this);
    m_napig->installEventFilter(this);
}

Tkiesofm::~Tkiesofm() = default;

void Tkiesofm::initialise()
{
    const QString m = mode();
    m_days = AbsenceDays();
    m_szerelo->clear();
    m_szerelonev->clear();
    m_tavollet->clear();
    m_tavolletnev->clear();
    m_mind->setChecked(false);
    m_lista->setChecked(true);
    m_reasonRow->setVisible(m == u"M"_s);
    m_mind->setVisible(m != u"M"_s);
    m_hova->setVisible(m == u"L"_s);
    m_store->setVisible(m == u"M"_s);
    m_start->setVisible(m == u"L"_s);
    m_list->setVisible(m == u"K"_s);
    showDays();
    reread();
}

bool Tkiesofm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && (watched == m_nap || watched == m_napig)) {
        // An invalid day keeps the focus for correcting; a refused valid one was put back.
        auto* edit = static_cast<QLineEdit*>(watched);
        if (!(edit == m_nap ? takeFirst() : takeLast()) &&
            edit->text() != (edit == m_nap ? m_days.first() : m_days.last()))
            edit->setFocus();
    }
    return Screen::eventFilter(watched, event);
}

void Tkiesofm::showDays()
{
    m_nap->setText(m_days.first());
    m_napig->setText(m_days.last());
    m_napnev->setText(alt::weekdayName(alt::parseDate(m_days.first())));
    m_napignev->setText(alt::weekdayName(alt::parseDate(m_days.last())));
}

bool Tkiesofm::takeFirst()
{
    if (m_nap->text() == m_days.first())
        return true;
    const QString message = m_days.setFirst(m_nap->text(), mode() == u"M"_s);
    if (!message.isEmpty()) {
        messages::show(message);
        // An invalid day stays for correcting; one before today is put back.
        if (!message.startsWith(u"Hibás dátum."_s))
            showDays();
        return false;
    }
    showDays();
    reread();
    return true;
}

bool Tkiesofm::takeLast()
{
    if (m_napig->text() == m_days.last())
        return true;
    const QString message = m_days.setLast(m_napig->text());
    if (!message.isEmpty()) {
        messages::show(message);
        if (!message.startsWith(u"Hibás dátum."_s))
            showDays();
        return false;
    }
    showDays();
    reread();
    return true;
}

void Tkiesofm::pickFirst()
{
    m_nap->setText(pickDate(m_nap->text()));
    takeFirst();
}

void Tkiesofm::pickLast()
{
    m_napig->setText(pickDate(m_napig->text()));
    takeLast();
}

void Tkiesofm::pickTechnician()
{
    QString condition = u"WHERE AKTIV='I'"_s;
    if (mode() != u"L"_s)
        condition =
            u"WHERE CEGKOD="_s + db::literal(Td::instance().ownCompany) + u" AND AKTIV='I'"_s;
    const std::optional<TorzsCall> call = pickRow(u"SZERELO"_s, condition, m_szerelo->text());
    if (!call)
        return;
    m_szerelo->setText(pickedField(*call, u"KOD"_s));
    m_szerelonev->setText(pickedField(*call, u"NEV"_s));
    reread();
}

void Tkiesofm::pickReason()
{
    const std::optional<TorzsCall> call = pickRow(u"TAVOLLET"_s, {}, m_tavollet->text());
    if (!call)
        return;
    m_tavollet->setText(pickedField(*call, u"KOD"_s));
    m_tavolletnev->setText(pickedField(*call, u"NEV"_s));
}

void Tkiesofm::reread()
{
    for (TorzsModel* model : {m_jobs.get(), m_marks.get()}) {
        model->setParameter(u"szerelo"_s, m_szerelo->text());
        model->setParameter(u"datumtol"_s, m_days.first());
        model->setParameter(u"datumig"_s, m_days.last());
        QString error;
        if (!model->reopen(&error)) {
            messages::showError(error);
            return;
        }
    }
    m_jobsView->resizeColumnsToContents();
    m_marksView->resizeColumnsToContents();
}

bool Tkiesofm::technicianChosen()
{
    if (m_mind->isChecked() || !m_szerelo->text().isEmpty())
        return true;
    messages::show(u"Ha nem minden szerelő kell, akkor válasszon ki egyet!"_s);
    return false;
}

void Tkiesofm::store()
{
    // The days as typed count only once the rules accepted them.
    if (!takeFirst() || !takeLast())
        return;
    if (!messages::confirm(u"Tárolható?"_s))
        return;
    const AbsenceResult result =
        AbsenceStore(u"d_mivo"_s, partsHook())
            .record(m_szerelo->text(), m_days.period(), m_tavollet->text());
    if (!result.ok) {
        messages::showError(result.message);
        return;
    }
    if (!result.reminder().isEmpty())
        messages::show(result.reminder());
    reread();
}

void Tkiesofm::start()
{
    if (!takeFirst() || !takeLast() || !technicianChosen())
        return;
    const QString from = m_days.first(), to = m_days.last();
    if (m_lista->isChecked()) {
        reports::printDailyInstruction(m_mind->isChecked() ? u"MIND"_s : m_szerelo->text(), from,
                                       to, u"Napi munka utasítás"_s, this);
        return;
    }
    db::Query q;
    q.setSql(u"Select KOD From SZERELO Where AKTIV = 'I'"_s +
             (m_mind->isChecked() ? QString() : u" And KOD = :kod"_s) + u" ORDER BY KOD"_s);
    if (!m_mind->isChecked())
        q.bind(u"kod"_s, m_szerelo->text());
    if (!q.exec()) {
        messages::showError(q.lastError());
        return;
    }
    QStringList codes;
    while (q.next())
        codes << q.text(u"KOD"_s);
    q.close();
    for (const QString& code : codes) {
        if (!reports::dailyInstructionText(code, from, to, m_email->isChecked()))
            return;
    }
}

void Tkiesofm::absenceList()
{
    if (!takeFirst() || !takeLast() || !technicianChosen())
        return;
    const QString technician = m_mind->isChecked() ? u"MIND"_s : m_szerelo->text();
    const QString from = m_days.first(), to = m_days.last();
    report::preview(
        [&](QString* error) {
            return reports::buildKieso(technician, from, to, u"Munkából kieső idő"_s, error);
        },
        this);
}

} // namespace mivo::workflow
