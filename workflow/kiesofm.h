#pragma once

#include "absence.h"

#include "core/screen.h"

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;

namespace mivo
{
class TorzsModel;
}

namespace mivo::workflow
{

/// The technician absence screen in three modes: "M" records an absence (its jobs go back to
/// the pool, the days are marked), "L" prints or sends the daily work instructions of a
/// period, "K" prints the absence list of a period. Two lists show the chosen technician's
/// planned jobs and absences in the period.
class Tkiesofm : public Screen
{
    Q_OBJECT
public:
    explicit Tkiesofm(QWidget* parent = nullptr);
    ~Tkiesofm() override;

    TorzsModel* jobsModel() const { return m_jobs.get(); }
    TorzsModel* marksModel() const { return m_marks.get(); }

protected:
    void initialise() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pickTechnician();
    void pickReason();
    void pickFirst();
    void pickLast();
    /// Takes the typed day; false (after telling, the field reset) when a rule refused it.
    bool takeFirst();
    bool takeLast();
    void showDays();
    void reread();
    bool technicianChosen();
    void store();
    void start();
    void absenceList();

    QLineEdit* m_szerelo;
    QLineEdit* m_szerelonev;
    QLineEdit* m_nap;
    QLineEdit* m_napnev;
    QLineEdit* m_napig;
    QLineEdit* m_napignev;
    QLineEdit* m_tavollet;
    QLineEdit* m_tavolletnev;
    QWidget* m_reasonRow;
    QCheckBox* m_mind;
    QGroupBox* m_hova;
    QRadioButton* m_lista;
    QRadioButton* m_email;
    QRadioButton* m_txt;
    QPushButton* m_store;
    QPushButton* m_start;
    QPushButton* m_list;
    QTableView* m_jobsView;
    QTableView* m_marksView;
    std::unique_ptr<TorzsModel> m_jobs;
    std::unique_ptr<TorzsModel> m_marks;
    AbsenceDays m_days;
};

} // namespace mivo::workflow
