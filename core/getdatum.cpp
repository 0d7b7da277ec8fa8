#include "getdatum.h"

#include "altproc.h"
#include "clock.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace mivo
{

namespace
{

QPushButton* button(const QString& name, const QString& caption, const QString& hint,
                    QWidget* parent)
{
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    return b;
}

} // namespace

Tgetdatumfm::Tgetdatumfm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Tgetdatumfm"));
    setWindowTitle(QStringLiteral("Dátum kiválasztása"));
    setModal(true);

    m_calendar = new QCalendarWidget(this);
    m_calendar->setObjectName(QStringLiteral("naptar"));
    // Hungarian names and a Monday week whatever the system locale is.
    m_calendar->setLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));
    m_calendar->setFirstDayOfWeek(Qt::Monday);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    m_calendar->setGridVisible(true);

    auto* back =
        button(QStringLiteral("b_elozo"), QStringLiteral("<<"), QStringLiteral("Előző év"), this);
    auto* forward = button(QStringLiteral("b_kovetkezo"), QStringLiteral(">>"),
                           QStringLiteral("Következő év"), this);
    auto* ok = button(QStringLiteral("b_ok"), QStringLiteral("&OK (kiválaszt)"),
                      QStringLiteral("Kiválasztjuk a dátumot"), this);
    auto* cancel = button(QStringLiteral("b_vissza"), QStringLiteral("&Vissza (nem választ ki)"),
                          QStringLiteral("Marad a régi dátum"), this);
    ok->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_calendar);
    layout->addLayout(buttons);

    connect(back, &QPushButton::clicked, this, [this] { moveMonths(-12); });
    connect(forward, &QPushButton::clicked, this, [this] { moveMonths(12); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_calendar, &QCalendarWidget::activated, this, &QDialog::accept);
}

void Tgetdatumfm::moveMonths(int months)
{
    m_calendar->setSelectedDate(m_calendar->selectedDate().addMonths(months));
}

QString Tgetdatumfm::pick(const QString& text)
{
    QString kept = text;
    QDate start = clock::today();
    bool compact = false;
    if (!alt::isBlankDate(text)) {
        compact = !text.contains(QLatin1Char('.'));
        if (alt::validateDate(text, false))
            start = alt::parseDate(text);
        else
            kept = alt::today();
    }
    m_calendar->setSelectedDate(start);
    m_calendar->setFocus();
    QString result =
        exec() == QDialog::Accepted ? alt::formatDate(m_calendar->selectedDate()) : kept;
    if (compact)
        result.remove(QLatin1Char('.'));
    return result;
}

QString pickDate(const QString& text)
{
    Tgetdatumfm dialog(QApplication::activeWindow());
    return dialog.pick(text);
}

} // namespace mivo
