#pragma once

#include "core/screen.h"

#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTabBar;
class QTableView;

namespace mivo::kvarcel
{

class Builder;
class ItemGridModel;

/// The custom list builder "Kvarcel 5.0": items of the catalogue chosen on tabs with their
/// column letter, sort and group digits and conditions, the options, the run into the result
/// grid, parameter files and the outputs; for power users the statement window, templates,
/// the statement history and the database switch. Created once, non-modal.
class Tkvarcel5fm : public Screen
{
    Q_OBJECT
public:
    explicit Tkvarcel5fm(QWidget* parent = nullptr);
    ~Tkvarcel5fm() override;

    Builder& builder() { return *m_builder; }
    ItemGridModel& items() { return *m_items; }

    // The commands, as the buttons run them.
    void indul();                ///< "Indul " (sb_gosqlClick)
    void ujLekerdezes();         ///< "Új lekérdezés"
    void mentes();               ///< "Mentés"
    void megnyitas();            ///< "Megnyitás"
    void lista();                ///< "Lista"
    void adattablaba();          ///< "adattáblába"
    void excelbe();              ///< "excelbe"
    void parancsbaAd();          ///< "Parancsba ad" (b_keszClick)
    void haladoValtas();         ///< "haladóknak" / "normal"
    void feltetelMegadasa();     ///< opens the condition panel for the current item
    void feltetelOk();           ///< "&OK" of the panel
    void showValueList(int box); ///< "..." next to value box 1 or 2
    void showCellViewer(const QModelIndex& index);
    void historyStep(int step); ///< the history arrows: -1 earlier, +1 later

protected:
    void initialise() override;

private:
    void buildItemArea(QWidget* area);
    void buildConditionPanel(QWidget* area);
    void buildAdvancedArea(QWidget* area);
    void refreshAll();
    void refreshTabs();
    void refreshOptions();
    void storeOptions();
    void refreshAdvanced();
    void syncStatement();
    int currentItem() const;
    void closeConditionPanel();
    void operatorChosen();
    void fixOperator();
    void itemChosen(int itemIndex);
    QString chooseParameterFile(bool save);

    std::unique_ptr<Builder> m_builder;
    ItemGridModel* m_items = nullptr;
    QString m_connectError;

    QTabBar* m_tabs = nullptr;
    QTableView* m_itemGrid = nullptr;
    QLineEdit* m_title = nullptr;
    QCheckBox* m_nullas = nullptr;
    QCheckBox* m_kilepettek = nullptr;
    QCheckBox* m_csakOsszesen = nullptr;
    QCheckBox* m_berido = nullptr;
    QCheckBox* m_outer = nullptr;
    QCheckBox* m_lapdob = nullptr;

    QFrame* m_condition = nullptr;
    QListWidget* m_operators = nullptr;
    QLineEdit* m_value1 = nullptr;
    QLineEdit* m_value2 = nullptr;
    QLabel* m_value2Label = nullptr;
    QPushButton* m_values2Button = nullptr;
    QListWidget* m_valueList = nullptr;
    int m_valueBox = 1;
    int m_conditionItem = -1;

    QTableView* m_resultGrid = nullptr;
    QProgressBar* m_progress = nullptr;
    QLabel* m_resultLabel = nullptr;

    QWidget* m_advanced = nullptr;
    QPlainTextEdit* m_sql = nullptr;
    QListWidget* m_log = nullptr;
    QLabel* m_runLabel = nullptr;
    QLabel* m_maxRunLabel = nullptr;
    QComboBox* m_tables = nullptr;
    QCheckBox* m_newStatement = nullptr;
    QLineEdit* m_sqlFile = nullptr;
    QComboBox* m_databases = nullptr;
    QLineEdit* m_server = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_storedPassword = nullptr;
    QPlainTextEdit* m_display = nullptr;
    int m_browsedRun = 0;
};

} // namespace mivo::kvarcel
