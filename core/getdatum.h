#pragma once

#include <QDialog>

class QCalendarWidget;
class QPushButton;

namespace mivo
{

/// The date picker "Dátum kiválasztása": a month calendar (Monday first, ISO week numbers,
/// Hungarian names) with a year back and forward, "&OK (kiválaszt)" and
/// "&Vissza (nem választ ki)". A double click on a day acts as OK.
class Tgetdatumfm : public QDialog
{
    Q_OBJECT
public:
    explicit Tgetdatumfm(QWidget* parent = nullptr);

    /// Shows the calendar at the date of the text (today when it is empty, blank or invalid)
    /// and gives the chosen day as "yyyy.mm.dd", or on "&Vissza (nem választ ki)" the text
    /// (today when it was invalid). A compact field (a text without ".") gets a compact result.
    QString pick(const QString& text);

    QCalendarWidget* calendar() const { return m_calendar; }

private:
    void moveMonths(int months);

    QCalendarWidget* m_calendar = nullptr;
};

/// The "pick date" routine of the entry screens: Tgetdatumfm::pick over the active window.
QString pickDate(const QString& text);

} // namespace mivo
