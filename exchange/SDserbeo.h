#pragma once

#include "core/screen.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace mivo::exchange
{

/// "Adatátvétel SD szerviz programból": takes technicians, articles and commissioning sheets
/// over from the SD service program's database (d_sd), enriching new articles from the
/// merchant database (d_merka) when it is reachable. Both connections live while the window
/// is open.
class TSDserbeofm : public Screen
{
    Q_OBJECT
public:
    explicit TSDserbeofm(QWidget* parent = nullptr);

    /// Runs the import with the ticked sections ("&Indul").
    void start();

protected:
    void initialise() override;
    void closeEvent(QCloseEvent* event) override;

private:
    QCheckBox* m_technicians;
    QCheckBox* m_types;
    QCheckBox* m_parts;
    QCheckBox* m_sheets;
    QCheckBox* m_clear;
    QLineEdit* m_from;
    QLineEdit* m_to;
    QLineEdit* m_centre;
    QProgressBar* m_gauges[4]; ///< technicians, appliance types, parts, sheets
    QLabel* m_sourceCounts[3]; ///< technicians, articles, sheets
    QLabel* m_newCounts[4];    ///< technicians, appliance types, parts, appliances
    QPlainTextEdit* m_log;
    QPushButton* m_start = nullptr;
};

} // namespace mivo::exchange
