#pragma once

#include "core/screen.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;

namespace mivo::workflow
{

/// "Alkatrész készlet újraszámolása": checks, and on request corrects, what each stock row
/// holds reserved against the parts of the given-out jobs.
class Talkeszgenfm : public Screen
{
    Q_OBJECT
public:
    explicit Talkeszgenfm(QWidget* parent = nullptr);

    QPlainTextEdit* log() const { return m_log; }

protected:
    void initialise() override;

private:
    void start();

    QRadioButton* m_check;
    QRadioButton* m_correct;
    QCheckBox* m_onlyDifferences;
    QProgressBar* m_progress;
    QLabel* m_row;
    QPlainTextEdit* m_log;
};

} // namespace mivo::workflow
