#pragma once

#include "core/screen.h"
#include "excelimport.h"

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace mivo::exchange
{

/// "Adatbeolvasás Excel fájlból": reads customers, appliances and their jobs from an
/// appliance register workbook, in the layout that the own company code selects.
class Tszmszbeofm : public Screen
{
    Q_OBJECT
public:
    explicit Tszmszbeofm(QWidget* parent = nullptr);

    QPlainTextEdit* log() const { return m_log; }
    /// Runs the import ("&Indul").
    void start();
    /// Picks the workbook in a file dialog ("?").
    void chooseFile();

protected:
    void initialise() override;

private:
    QLineEdit* m_file;
    QPushButton* m_choose;
    QLineEdit* m_firstRow;
    QCheckBox* m_add;
    QProgressBar* m_progress;
    QPlainTextEdit* m_log;
    QPushButton* m_start = nullptr;
};

} // namespace mivo::exchange
