#pragma once

#include <QDialog>

#include <vector>

class QLineEdit;

namespace mivo
{

/// The settings editor: every key of the configuration table with its value, and
/// "Tárolás", which writes them back to "MIVO.INI" after a confirmation.
class Tiniedit : public QDialog
{
    Q_OBJECT
public:
    explicit Tiniedit(QWidget* parent = nullptr);

    /// Rebuilds the rows from the key table (every showing).
    void reload();
    /// Takes the edited values into the key table and writes the file, after asking.
    bool store();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_rows = nullptr;
    std::vector<QLineEdit*> m_edits;
};

} // namespace mivo
