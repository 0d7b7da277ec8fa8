#pragma once

#include "core/screen.h"

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace mivo::workflow
{

/// "Teljes tevékenységlista": the full activity list saved as a workbook under the name in
/// "Excel file neve:", with a progress bar over the appliances.
class Ttotallistfm : public Screen
{
    Q_OBJECT
public:
    explicit Ttotallistfm(QWidget* parent = nullptr);

protected:
    void initialise() override;

private:
    void browse();
    void store();

    QLineEdit* m_filename;
    QPushButton* m_browse;
    QProgressBar* m_progress;
};

} // namespace mivo::workflow
