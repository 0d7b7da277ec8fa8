#include "alkeszgen.h"

#include "stockrecount.h"

#include "core/messages.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

Talkeszgenfm::Talkeszgenfm(QWidget* parent)
    : Screen(parent), m_check(new QRadioButton(u"Ellenőrzés"_s, this)),
      m_correct(new QRadioButton(u"Javítás"_s, this)),
      m_onlyDifferences(new QCheckBox(u"Csak az eltérést naplózzuk"_s, this)),
      m_progress(new QProgressBar(this)), m_row(new QLabel(this)), m_log(new QPlainTextEdit(this))
{
    setObjectName(u"Talkeszgenfm"_s);
    m_check->setObjectName(u"rb_ellenorzes"_s);
    m_correct->setObjectName(u"rb_javitas"_s);
    m_onlyDifferences->setObjectName(u"cb_elteres"_s);
    m_progress->setObjectName(u"csik"_s);
    m_row->setObjectName(u"l_alkatresz"_s);
    m_log->setObjectName(u"Memo1"_s);
    m_log->setReadOnly(true);
    addCommandButton(u"indul"_s, u"&Indul"_s, [this] { start(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    auto* options = new QHBoxLayout;
    options->addWidget(m_check);
    options->addWidget(m_correct);
    options->addWidget(m_onlyDifferences);
    options->addStretch();
    layout->addLayout(options);
    layout->addWidget(m_progress);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(u"Alkatrész:"_s, this));
    row->addWidget(m_row, 1);
    layout->addLayout(row);
    layout->addWidget(m_log, 1);
    resize(760, 560);
}

void Talkeszgenfm::initialise()
{
    m_check->setChecked(true);
    m_progress->setValue(0);
    m_row->clear();
}

void Talkeszgenfm::start()
{
    if (!messages::confirm(u"Indulhat a foglalt készlet újraszámolása?"_s))
        return;
    m_log->clear();
    const RecountResult result = StockRecount().run(
        m_correct->isChecked(), m_onlyDifferences->isChecked(),
        [this](int done, int total, const QString& label) {
            m_progress->setMaximum(std::max(1, total));
            m_progress->setValue(done);
            m_row->setText(label);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        },
        [this](const QString& line) { m_log->appendPlainText(line); });
    if (!result.error.isEmpty())
        messages::showError(result.error);
}

} // namespace mivo::workflow
