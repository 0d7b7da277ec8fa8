#pragma once

#include "core/screen.h"
#include "reports/activitylist.h"

#include <memory>

class QButtonGroup;
class QLineEdit;
class QTableView;

namespace mivo
{
class TorzsModel;
}

namespace mivo::workflow
{

/// "Időszaki tevékenység lista": the planned or completed jobs of a period under optional
/// conditions, as a grid, a report (preview or straight to the printer) or an export.
class Ttevlistfm : public Screen
{
    Q_OBJECT
public:
    explicit Ttevlistfm(QWidget* parent = nullptr);
    ~Ttevlistfm() override;

    /// The conditions as the fields hold them.
    reports::ActivityConditions conditions() const;
    TorzsModel* model() const { return m_model.get(); }

protected:
    void initialise() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The statement of the conditions; nullopt after telling why (focus on the failing date).
    std::optional<reports::ActivityQuery> query();
    void clearConditions();
    void showGrid();
    void previewReport();
    void printReport();
    void exportRows();

    QLineEdit* m_szerelo;
    QLineEdit* m_szerelonev;
    QLineEdit* m_tol;
    QLineEdit* m_ig;
    QLineEdit* m_keszulek;
    QLineEdit* m_keszuleknev;
    QLineEdit* m_tevekenyseg;
    QLineEdit* m_tevekenysegnev;
    QLineEdit* m_ugyfel;
    QLineEdit* m_ugyfelnev;
    QButtonGroup* m_fajta;
    QButtonGroup* m_sorrend1;
    QButtonGroup* m_sorrend2;
    QTableView* m_view;
    std::unique_ptr<TorzsModel> m_model;
};

} // namespace mivo::workflow
