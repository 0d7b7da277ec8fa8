#include "daynavigator.h"

#include "celltext.h"

#include "core/altproc.h"
#include "core/getdatum.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

constexpr int dateLength = 10;

QPushButton* smallButton(const QString& name, const QString& caption, const QString& hint,
                         QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    // Never narrower than the caption: the strip above a narrow column stays readable.
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(caption) + 8);
    b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return b;
}

} // namespace

DayNavigator::DayNavigator(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    m_pick =
        smallButton(QStringLiteral("b_nap"), QStringLiteral("Nap"), QStringLiteral("Naptár"), this);
    m_previous = smallButton(QStringLiteral("b_elozo"), QStringLiteral("-"),
                             QStringLiteral("Előző nap"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("e_datum"));
    m_edit->setMaxLength(dateLength);
    m_edit->setMinimumWidth(m_edit->fontMetrics().horizontalAdvance(u"0000.00.00"_s) + 10);
    m_edit->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_next = smallButton(QStringLiteral("b_kovetkezo"), QStringLiteral("+"),
                         QStringLiteral("Következő nap"), this);
    layout->addWidget(m_pick, 3);
    layout->addWidget(m_previous, 1);
    layout->addWidget(m_edit, 7);
    layout->addWidget(m_next, 1);

    connect(m_edit, &QLineEdit::textEdited, this, &DayNavigator::typed);
    connect(m_previous, &QPushButton::clicked, this, [this] { step(-1); });
    connect(m_next, &QPushButton::clicked, this, [this] { step(1); });
    connect(m_pick, &QPushButton::clicked, this, &DayNavigator::pick);
}

QString DayNavigator::date() const
{
    return m_edit->text();
}

void DayNavigator::setDate(const QString& date)
{
    m_edit->setText(date);
}

void DayNavigator::typed(const QString& text)
{
    if (text.size() == dateLength && alt::validateDate(text, true))
        choose(alt::formatDate(alt::parseDate(text)));
}

void DayNavigator::step(int days)
{
    if (!alt::validateDate(date(), true))
        return;
    choose(shiftDay(date(), days));
}

void DayNavigator::pick()
{
    const QString picked = pickDate(date());
    if (picked != date() && picked.size() == dateLength && alt::validateDate(picked, false))
        choose(picked);
}

void DayNavigator::choose(const QString& date)
{
    setDate(date);
    emit dateChosen(date);
}

} // namespace mivo::workflow
