#include "sztori.h"

#include "jobhistory.h"

#include "core/columnwidths.h"
#include "core/messages.h"
#include "core/rowlist.h"
#include "platform/querymodel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

Tsztorifm::Tsztorifm(QWidget* parent)
    : QDialog(parent), m_rows(new data::QueryModel(u"d_mivo"_s, jobHistoryColumns(), this)),
      m_view(new QTableView(this))
{
    setObjectName(u"Tsztorifm"_s);
    setModal(true);
    setUpRowList(m_view, u"DBGrid1"_s, m_rows);
    m_view->horizontalHeader()->setStretchLastSection(true);

    auto* back = new QPushButton(u"&Vissza"_s, this);
    back->setObjectName(u"b_vissza"_s);
    connect(back, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(back);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
    resize(1100, 420);
}

bool Tsztorifm::showJob(int kod, QString* error)
{
    setWindowTitle(jobHistoryTitle(kod));
    if (!m_rows->read(jobHistorySql(), {{u"kod"_s, kod}}, error))
        return false;
    // Widths from the contents of a few rows, the description taking what is left.
    fitColumnsToText(m_view);
    return true;
}

void Tsztorifm::open(int kod, QWidget* parent)
{
    Tsztorifm window(parent);
    QString error;
    if (!window.showJob(kod, &error)) {
        messages::showError(error);
        return;
    }
    window.exec();
}

void Tsztorifm::done(int result)
{
    m_rows->clear();
    QDialog::done(result);
}

} // namespace mivo::workflow
