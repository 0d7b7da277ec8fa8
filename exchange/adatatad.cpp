#include "adatatad.h"

#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "sdhandover.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

QLineEdit* countField(QWidget* parent, const QString& name)
{
    auto* field = new QLineEdit(u"0"_s, parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setMaximumWidth(80);
    return field;
}

} // namespace

Tadatatadfm::Tadatatadfm(QWidget* parent)
    : Screen(parent), m_sheets(countField(this, u"e_beuzdb"_s)),
      m_coupons(countField(this, u"e_szelvenydb"_s)),
      m_maintenance(countField(this, u"e_garkarbdb"_s)),
      m_new(new QCheckBox(u"El nem küldött adatok"_s, this)), m_repeat(new QLineEdit(this)),
      m_choose(new QPushButton(u"?"_s, this)), m_count(new QPushButton(u"Count"_s, this))
{
    setObjectName(u"Tadatatadfm"_s);
    m_new->setObjectName(u"cb_uj"_s);
    m_repeat->setObjectName(u"e_ismet"_s);
    m_choose->setObjectName(u"b_valaszt"_s);
    m_count->setObjectName(u"b_count"_s);
    m_choose->setAutoDefault(false);
    m_count->setAutoDefault(false);
    const QString gaugeNames[] = {u"Gauge_uz"_s, u"Gauge_gj"_s, u"Gauge_kar"_s};
    const QString labelNames[] = {u"l_uz"_s, u"l_gj"_s, u"l_kar"_s};
    for (int i = 0; i < 3; ++i) {
        m_gauges[i] = new QProgressBar(this);
        m_gauges[i]->setObjectName(gaugeNames[i]);
        m_files[i] = new QLabel(this);
        m_files[i]->setObjectName(labelNames[i]);
        // The user copies the folder from here to hand the tables over.
        m_files[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    m_start = addCommandButton(u"indul"_s, u"&Indul"_s, [this] { start(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();
    connect(m_new, &QCheckBox::clicked, this, [this] {
        m_choose->setEnabled(!m_new->isChecked());
        recount(true);
    });
    connect(m_choose, &QPushButton::clicked, this, &Tadatatadfm::choose);
    connect(m_count, &QPushButton::clicked, this, [this] { recount(); });
    connect(m_repeat, &QLineEdit::editingFinished, this, [this] { recount(); });
    // A typed number names no logged date any more.
    connect(m_repeat, &QLineEdit::textEdited, this, [this] { m_date.clear(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(u"Átadható adatok száma"_s, this), 0, 0, 1, 2);
    const QString captions[] = {u" Beüzemelési lapok:"_s, u" Garanciális javítási szelvények: "_s,
                                u" Garnciális karbantartások:"_s};
    QLineEdit* const counts[] = {m_sheets, m_coupons, m_maintenance};
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(captions[i], this);
        label->setBuddy(counts[i]);
        grid->addWidget(label, i + 1, 0);
        grid->addWidget(counts[i], i + 1, 1);
    }
    grid->addWidget(m_new, 4, 0, 1, 2);
    auto* repeatLabel = new QLabel(u" Adatküldés ismétlése:"_s, this);
    repeatLabel->setBuddy(m_repeat);
    grid->addWidget(repeatLabel, 5, 0);
    auto* repeat = new QHBoxLayout;
    m_repeat->setMaximumWidth(80);
    repeat->setSpacing(6);
    repeat->addWidget(m_repeat);
    repeat->addWidget(m_choose);
    repeat->addWidget(m_count);
    repeat->addStretch();
    grid->addLayout(repeat, 5, 1);
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(m_gauges[i], 6 + 2 * i, 0, 1, 2, Qt::AlignBottom);
        grid->addWidget(m_files[i], 7 + 2 * i, 0, 1, 2);
    }
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addStretch();
    // Room for the full names of the tables under a working folder of some depth.
    resize(820, 420);
}

void Tadatatadfm::initialise()
{
    const Ini& ini = Ini::instance();
    // The structures of the batch tables come from the SD database; without it the run
    // fails with the database's text, the counts still show.
    Td::instance().connect(Td::Sd, ini.value(u"SD_DBSERVER"_s), ini.value(u"SD_DBALIAS"_s));
    m_new->setChecked(true);
    m_choose->setEnabled(false);
    m_repeat->setText(u"0"_s);
    m_date.clear();
    for (QLineEdit* field : {m_sheets, m_coupons, m_maintenance})
        field->setText(u"0"_s);
    for (int i = 0; i < 3; ++i) {
        m_gauges[i]->setRange(0, 1);
        m_gauges[i]->setValue(0);
        m_files[i]->clear();
    }
    recount();
}

int Tadatatadfm::batchNumber(bool quiet)
{
    if (m_new->isChecked())
        return 0;
    const QString text = m_repeat->text().trimmed();
    bool number = false;
    QString(text).replace(u',', u'.').toDouble(&number);
    const auto refuse = [this, quiet](const QString& message) {
        if (!quiet) {
            messages::show(message);
            m_repeat->setFocus();
        }
        return -1;
    };
    if (!number)
        return refuse(u"Adja meg a küldés sorszámát!"_s);
    if (text.contains(u'.') || text.contains(u','))
        return refuse(u"Ez nem jó szám."_s);
    // Batch numbers start at 1; 0 and the imported jobs' -1 are no batch.
    const int batch = text.toInt(&number);
    if (!number || batch < 1)
        return refuse(u"Adja meg a küldés sorszámát!"_s);
    return batch;
}

bool Tadatatadfm::recount(bool quiet)
{
    // A message box taking the focus ends the editing once more.
    if (m_counting)
        return false;
    const QScopedValueRollback guard(m_counting, true);
    m_counted = false;
    const int batch = batchNumber(quiet);
    if (batch < 0) {
        for (QLineEdit* field : {m_sheets, m_coupons, m_maintenance})
            field->setText(u"0"_s);
        return false;
    }
    SdHandover handover;
    SdBatchCounts counts;
    if (!handover.count(batch, &counts)) {
        messages::showError(handover.error());
        return false;
    }
    m_sheets->setText(QString::number(counts.sheets));
    m_coupons->setText(QString::number(counts.coupons));
    m_maintenance->setText(QString::number(counts.maintenance));
    m_counted = true;
    return true;
}

void Tadatatadfm::choose()
{
    TorzsCall call;
    call.tableSpec = u"EXPORTLOG"_s;
    call.selectionMode = true;
    call.editingAllowed = false;
    if (!OpenTorzs(call))
        return;
    const auto value = [&call](const QString& field) {
        for (int i = 0; i < call.names.size() && i < call.values.size(); ++i)
            if (call.names[i].compare(field, Qt::CaseInsensitive) == 0)
                return call.values[i].trimmed();
        return QString();
    };
    m_repeat->setText(value(u"SORSZAM"_s));
    m_date = value(u"DATUM"_s);
    recount();
}

void Tadatatadfm::start()
{
    if (!m_start->isEnabled())
        return;
    if (!m_counted || !recount())
        return;
    if (m_sheets->text() == u"0"_s && m_coupons->text() == u"0"_s &&
        m_maintenance->text() == u"0"_s) {
        messages::show(u"Nincs mit küldeni."_s);
        return;
    }
    for (int i = 0; i < 3; ++i) {
        m_gauges[i]->setRange(0, 1);
        m_gauges[i]->setValue(0);
        m_files[i]->clear();
    }
    const QString workPath = Td::instance().workPath;
    const QString centre = Ini::instance().value(u"SZERVKP"_s);
    SdHandover handover;
    handover.onTable = [this](int table, const QString& path) { m_files[table]->setText(path); };
    handover.onProgress = [this](int table, int done, int total) {
        m_gauges[table]->setRange(0, std::max(1, total));
        m_gauges[table]->setValue(std::min(done, std::max(1, total)));
        if (done % 50 == 0 || done == total)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_start->setEnabled(false);
    const bool ok = m_new->isChecked() ? handover.writeNew(workPath, centre)
                                       : handover.writeAgain(m_repeat->text().trimmed().toInt(),
                                                             m_date, workPath, centre);
    m_start->setEnabled(true);
    if (!ok && !handover.errorShown()) {
        if (handover.error() == u"Nincs mit küldeni."_s)
            messages::show(handover.error());
        else
            messages::showError(handover.error());
    }
    recount();
}

} // namespace mivo::exchange
