#include "SDserbeo.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "platform/dbconnection.h"
#include "sdimport.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

QCheckBox* checkBox(QWidget* parent, const QString& name, const QString& text, bool on)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setChecked(on);
    return box;
}

QLabel* counter(QWidget* parent, const QString& name)
{
    auto* label = new QLabel(u"0"_s, parent);
    label->setObjectName(name);
    label->setMinimumWidth(60);
    return label;
}

} // namespace

TSDserbeofm::TSDserbeofm(QWidget* parent)
    : Screen(parent), m_technicians(checkBox(this, u"cb_szerelo"_s, u"Szerelők adatai"_s, false)),
      m_types(checkBox(this, u"cb_keszulek"_s, u"Készülék adatok"_s, true)),
      m_parts(checkBox(this, u"cb_alkatresz"_s, u"Alkatrész adatok"_s, true)),
      m_sheets(checkBox(this, u"cb_ugyfel"_s, u"Ügyfél és beüzemelés adatok"_s, true)),
      m_clear(checkBox(this, u"cb_tisztalap"_s, u" Meglévő adatokat töröljük?"_s, false)),
      m_from(new QLineEdit(this)), m_to(new QLineEdit(this)), m_centre(new QLineEdit(this)),
      m_log(new QPlainTextEdit(this))
{
    setObjectName(u"TSDserbeofm"_s);
    m_from->setObjectName(u"e_tol"_s);
    m_to->setObjectName(u"e_ig"_s);
    m_centre->setObjectName(u"e_szkp"_s);
    m_from->setMaxLength(10);
    m_to->setMaxLength(10);
    m_centre->setMaxLength(2);
    const QString gaugeNames[] = {u"Gauge1"_s, u"Gauge2"_s, u"Gauge4"_s, u"Gauge3"_s};
    for (int i = 0; i < 4; ++i) {
        m_gauges[i] = new QProgressBar(this);
        m_gauges[i]->setObjectName(gaugeNames[i]);
    }
    m_sourceCounts[0] = counter(this, u"l_szerelo"_s);
    m_sourceCounts[1] = counter(this, u"l_aru"_s);
    m_sourceCounts[2] = counter(this, u"l_ugyfel"_s);
    m_newCounts[0] = counter(this, u"l_szerelouj"_s);
    m_newCounts[1] = counter(this, u"l_aruuj"_s);
    m_newCounts[2] = counter(this, u"l_alkuj"_s);
    m_newCounts[3] = counter(this, u"l_ugyfeluj"_s);
    m_log->setObjectName(u"m_result"_s);
    m_log->setReadOnly(true);
    m_start = addCommandButton(u"indul"_s, u"&Indul"_s, [this] { start(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    auto* grid = new QGridLayout;
    // One row per section: its check box, source count, gauge and new rows.
    QCheckBox* const sections[] = {m_technicians, m_types, m_parts, m_sheets};
    QLabel* const sources[] = {m_sourceCounts[0], m_sourceCounts[1], nullptr, m_sourceCounts[2]};
    for (int i = 0; i < 4; ++i) {
        grid->addWidget(sections[i], i, 0);
        if (sources[i])
            grid->addWidget(sources[i], i, 1);
        grid->addWidget(m_gauges[i], i, 2);
        grid->addWidget(m_newCounts[i], i, 3);
    }
    grid->addWidget(m_clear, 4, 0);
    auto* dates = new QHBoxLayout;
    auto* dateLabel = new QLabel(u"Beüzemelés tól-i g"_s, this);
    dateLabel->setBuddy(m_from);
    dates->addWidget(dateLabel);
    dates->addWidget(m_from);
    dates->addWidget(m_to);
    auto* centreLabel = new QLabel(u"Sz.közp kód"_s, this);
    centreLabel->setBuddy(m_centre);
    dates->addWidget(centreLabel);
    m_centre->setMaximumWidth(40);
    dates->addWidget(m_centre);
    dates->addStretch();
    grid->setColumnStretch(2, 1);
    layout->addLayout(grid);
    layout->addLayout(dates);
    layout->addWidget(m_log, 1);
    // The log of a run holds a line per new article: it gets most of the height.
    resize(800, 640);
}

void TSDserbeofm::initialise()
{
    for (QProgressBar* gauge : m_gauges) {
        gauge->setRange(0, 1);
        gauge->setValue(0);
    }
    for (QLabel* label : m_sourceCounts)
        label->setText(u"0"_s);
    for (QLabel* label : m_newCounts)
        label->setText(u"0"_s);
    m_start->setEnabled(true);

    const Ini& ini = Ini::instance();
    const QString server = ini.value(u"SD_DBSERVER"_s);
    const QString alias = ini.value(u"SD_DBALIAS"_s);
    // The window closes after it is shown: the opening is not the place to hide it.
    const auto refuse = [this] {
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    };
    if (server.isEmpty() && alias.isEmpty()) {
        messages::show(
            u"A szerviz program adatbázisa nincs meghatározva (SD_DBSERVER vagy SD_DBALIAS)"_s);
        refuse();
        return;
    }
    if (!Td::instance().connect(Td::Sd, server, alias)) {
        refuse();
        return;
    }
    // Without the merchant database the import runs without enriching articles.
    const QString merchant = ini.value(u"MERKA_DBSERVER"_s);
    if (!merchant.isEmpty())
        Td::instance().connect(Td::Merka, merchant);
    m_centre->setText(ini.value(u"SZERVKP"_s));
}

void TSDserbeofm::closeEvent(QCloseEvent* event)
{
    for (const QString& name : {u"d_sd"_s, u"d_merka"_s}) {
        db::Connection& connection = db::Connection::named(name);
        if (connection.isOpen())
            connection.close();
    }
    Screen::closeEvent(event);
}

void TSDserbeofm::start()
{
    if (!m_start->isEnabled())
        return;
    // The range is compared with the SD program's dates: a text that is no date stops here.
    for (QLineEdit* field : {m_from, m_to}) {
        const QString text = field->text().trimmed();
        if (!text.isEmpty() && !alt::validateDate(text, true)) {
            field->setFocus();
            return;
        }
    }
    SdImportOptions options;
    options.technicians = m_technicians->isChecked();
    options.applianceTypes = m_types->isChecked();
    options.parts = m_parts->isChecked();
    options.sheets = m_sheets->isChecked();
    options.clear = m_clear->isChecked();
    options.from = m_from->text().trimmed();
    options.to = m_to->text().trimmed();
    options.serviceCentre = m_centre->text().trimmed();
    options.technicianList = Ini::instance().value(u"SZERELOK"_s);
    options.ownCompany = Td::instance().ownCompany;
    options.user = Td::instance().userCode;

    for (QProgressBar* gauge : m_gauges) {
        gauge->setRange(0, 1);
        gauge->setValue(0);
    }
    for (QLabel* label : m_sourceCounts)
        label->setText(u"0"_s);
    for (QLabel* label : m_newCounts)
        label->setText(u"0"_s);
    m_log->clear();

    SdImport importer;
    const auto showNew = [this, &importer] {
        const SdImportCounts& c = importer.counts();
        m_newCounts[0]->setText(QString::number(c.technicianNew));
        m_newCounts[1]->setText(QString::number(c.applianceTypeNew));
        m_newCounts[2]->setText(QString::number(c.partNew));
        m_newCounts[3]->setText(QString::number(c.applianceNew));
    };
    importer.onLog = [this](const QString& line) { m_log->appendPlainText(line); };
    importer.onProgress = [this, &showNew](int section, int done, int total) {
        QLabel* const sources[] = {m_sourceCounts[0], m_sourceCounts[1], m_sourceCounts[1],
                                   m_sourceCounts[2]};
        if (section < 0 || section > 3)
            return;
        sources[section]->setText(QString::number(total));
        m_gauges[section]->setRange(0, std::max(1, total));
        m_gauges[section]->setValue(std::min(done, std::max(1, total)));
        showNew();
        if (done % 50 == 0 || done == total)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };

    m_start->setEnabled(false);
    const bool ok = importer.run(options);
    showNew();
    // A section without source rows never reports progress.
    m_sourceCounts[0]->setText(QString::number(importer.counts().technicians));
    m_sourceCounts[2]->setText(QString::number(importer.counts().sheets));
    m_start->setEnabled(true);
    if (!ok)
        messages::showError(importer.error());
}

} // namespace mivo::exchange
