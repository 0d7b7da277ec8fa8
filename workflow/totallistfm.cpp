#include "totallistfm.h"

#include "core/messages.h"
#include "reports/filemessages.h"
#include "reports/progress.h"
#include "reports/qexport.h"
#include "reports/totallist.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

Ttotallistfm::Ttotallistfm(QWidget* parent)
    : Screen(parent), m_filename(new QLineEdit(this)), m_browse(new QPushButton(u"Tallóz"_s, this)),
      m_progress(new QProgressBar(this))
{
    setObjectName(u"Ttotallistfm"_s);
    addCommandButton(u"tarolas"_s, u"Tárolás XLS-be"_s, [this] { store(); });
    addCommandButton(u"vissza"_s, u"&Vissza"_s, [this] { close(); });
    finishButtonBar();

    m_filename->setObjectName(u"e_filename"_s);
    m_filename->setMinimumWidth(m_filename->fontMetrics().horizontalAdvance(u'W') * 40);
    m_browse->setObjectName(u"b_talloz"_s);
    m_browse->setAutoDefault(false);
    connect(m_browse, &QPushButton::clicked, this, [this] { browse(); });
    m_progress->setObjectName(u"ProgressBar1"_s);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);

    auto* name = new QHBoxLayout;
    name->addWidget(new QLabel(u"Excel file neve:"_s, this));
    name->addWidget(m_filename, 1);
    name->addWidget(m_browse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(buttonBar());
    layout->addLayout(name);
    layout->addWidget(m_progress);
    layout->addStretch();
    resize(760, 180);
}

void Ttotallistfm::initialise()
{
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
}

void Ttotallistfm::browse()
{
    const QString name =
        reports::TQexportfm::instance().chooseFile(m_filename->text().trimmed(), this, true);
    if (!name.isEmpty())
        m_filename->setText(name);
}

void Ttotallistfm::store()
{
    const QString name = m_filename->text().trimmed();
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    // The bar lets pending events through: no second run, no other name meanwhile.
    const QList<QWidget*> locked{buttonBar(), m_filename, m_browse};
    for (QWidget* w : locked)
        w->setEnabled(false);
    const reports::TotalListResult result =
        reports::TotalList().write(name, reports::progressOn(m_progress));
    for (QWidget* w : locked)
        w->setEnabled(true);
    if (name.isEmpty())
        messages::show(result.error);
    else if (!result.written)
        reports::showFileError(name, result.error);
    else
        messages::show(result.message());
}

} // namespace mivo::workflow
