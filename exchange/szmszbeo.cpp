#include "szmszbeo.h"

#include "core/clock.h"
#include "core/ini.h"
#include "core/messages.h"
#include "platform/filedialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

Tszmszbeofm::Tszmszbeofm(QWidget* parent)
    : Screen(parent), m_file(new QLineEdit(u"készülék.xls"_s, this)),
      m_choose(new QPushButton(u"?"_s, this)), m_firstRow(new QLineEdit(u"2"_s, this)),
      m_add(new QCheckBox(u"Hozzáadás"_s, this)), m_progress(new QProgressBar(this)),
      m_log(new QPlainTextEdit(this))
{
    setObjectName(u"Tszmszbeofm"_s);
    m_file->setObjectName(u"e_file"_s);
    m_choose->setObjectName(u"b_file"_s);
    m_choose->setAutoDefault(false);
    m_firstRow->setObjectName(u"e_kezd"_s);
    m_add->setObjectName(u"cb_add"_s);
    m_progress->setObjectName(u"csik"_s);
    m_progress->setValue(0);
    m_log->setObjectName(u"Memo1"_s);
    m_log->setReadOnly(true);
    m_start = addCommandButton(u"indul"_s, u"&Indul"_s, [this] { start(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();
    connect(m_choose, &QPushButton::clicked, this, &Tszmszbeofm::chooseFile);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    auto* grid = new QGridLayout;
    auto* fileLabel = new QLabel(u" Beolvasandó fájl"_s, this);
    fileLabel->setBuddy(m_file);
    grid->addWidget(fileLabel, 0, 0);
    grid->addWidget(m_file, 0, 1);
    grid->addWidget(m_choose, 0, 2);
    auto* rowLabel = new QLabel(u"Első beolvasandó sor"_s, this);
    rowLabel->setBuddy(m_firstRow);
    grid->addWidget(rowLabel, 1, 0);
    m_firstRow->setMaximumWidth(80);
    grid->addWidget(m_firstRow, 1, 1, Qt::AlignLeft);
    grid->addWidget(m_add, 2, 1);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);
    layout->addWidget(m_progress);
    layout->addWidget(m_log, 1);
    resize(640, 440);
}

void Tszmszbeofm::initialise()
{
    m_start->setEnabled(true);
    m_progress->setValue(0);
}

void Tszmszbeofm::chooseFile()
{
    const QFileInfo current(m_file->text().trimmed());
    // Windows names come in any letter case.
    files::FileRequest request;
    request.objectName = u"od_file"_s;
    request.folder = current.absolutePath();
    request.fileName = current.fileName();
    request.filters = {u"Excel fájl (*.XLS *.xls)"_s, u"Excel file új (*.XLSX *.xlsx)"_s,
                       u"Excel makrós fájl (*.XLSM *.xlsm)"_s};
    const auto chosen = files::chooseFile(this, request);
    if (chosen)
        m_file->setText(QDir::toNativeSeparators(chosen->path));
}

void Tszmszbeofm::start()
{
    if (!m_start->isEnabled())
        return;
    const QString path = findFileAnyCase(m_file->text().trimmed());
    if (path.isEmpty()) {
        messages::show(u"Nincs ilyen fájl."_s);
        m_choose->setFocus();
        return;
    }
    const QString firstText = m_firstRow->text().trimmed();
    bool digits = !firstText.isEmpty();
    for (QChar c : firstText)
        digits = digits && c >= u'0' && c <= u'9';
    const int firstRow = digits ? firstText.toInt() : 0;
    if (firstRow <= 0) {
        messages::show(u"Hibás kezdő sor érték."_s);
        m_firstRow->setFocus();
        return;
    }

    ExcelImport import;
    QString error;
    const int jobs = import.jobCount(&error);
    if (jobs < 0) {
        messages::showError(error);
        return;
    }
    const bool add = m_add->isChecked();
    if (jobs > 0 && !add) {
        if (!messages::confirm(u"Van már felvitt munka adat. ("_s + QString::number(jobs) +
                               u" db)\nBiztos, hogy törölni akarja ezeket és nem hozzáadni?"_s))
            return;
    } else if (!messages::confirm(u"Indulhat a beolvasás?"_s)) {
        return;
    }
    // The workbook is read through before anything is deleted.
    if (!import.open(path, &error)) {
        messages::show(error);
        return;
    }
    if (!add && !import.clear(&error)) {
        messages::showError(error);
        return;
    }
    m_log->clear();
    m_log->appendPlainText(u"Adatbeolvasás indult:"_s +
                           clock::now().toString(u"yyyy.MM.dd HH:mm:ss"_s));
    m_log->appendPlainText(u"Beolvasott fájl:"_s + QDir::toNativeSeparators(path));
    m_start->setEnabled(false);
    m_progress->setRange(0, std::max(1, import.lastRow()));
    m_progress->setValue(0);

    const ExcelImport::Result result =
        import.run(layoutForCompany(Ini::instance().value(u"CEGKOD"_s)), firstRow, [this](int row) {
            m_progress->setValue(std::min(row, m_progress->maximum()));
            if (row % 50 == 0)
                QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
    if (!result.ok) {
        // The rows before the failure stay; the screen runs again only after reopening.
        m_log->appendPlainText(u"Beolvasott sorok: "_s + QString::number(result.rows));
        messages::showError(result.error);
        return;
    }
    m_progress->setValue(m_progress->maximum());
    m_log->appendPlainText(u"Beolvasott sorok: "_s + QString::number(result.rows));
    m_start->setEnabled(true);
}

} // namespace mivo::exchange
