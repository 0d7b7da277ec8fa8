#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace mivo::workflow
{

/// A day chooser: "Nap" (the date picker), "-" (the day before), a 10-character date field
/// and "+" (the day after). It reports a day whenever one of them yields a complete valid
/// date; a complete but invalid date typed in shows the date message and reports nothing,
/// shorter texts are ignored.
class DayNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit DayNavigator(QWidget* parent = nullptr);

    QString date() const;
    /// Puts a day into the field without reporting it.
    void setDate(const QString& date);

    QLineEdit* edit() const { return m_edit; }
    QPushButton* pickButton() const { return m_pick; }
    QPushButton* previousButton() const { return m_previous; }
    QPushButton* nextButton() const { return m_next; }

signals:
    /// A complete valid day ("yyyy.mm.dd") was chosen.
    void dateChosen(const QString& date);

private:
    void typed(const QString& text);
    void step(int days);
    void pick();
    void choose(const QString& date);

    QPushButton* m_pick;
    QPushButton* m_previous;
    QLineEdit* m_edit;
    QPushButton* m_next;
};

} // namespace mivo::workflow
