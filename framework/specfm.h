#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;

namespace mivo
{

namespace data
{
class RowSource;
}

/// "Speciális funkciók": the parts stock of the own technicians, shown (not modally) by the
/// full-list hooks of tables with QREPORT 1. Created once at start-up; registers itself.
class Tspecfm : public QDialog
{
    Q_OBJECT
public:
    explicit Tspecfm(QWidget* parent = nullptr);
    ~Tspecfm() override;

    QLineEdit* codeBox() const { return m_code; }
    QLabel* nameLabel() const { return m_name; }

    // The commands, callable without clicking.
    /// "?": the own technicians in the generic editor; a chosen one fills code and name.
    void chooseTechnician();
    /// The stock list as a PDF (what "&Nyomtatóra" and "&Képernyőre" print).
    bool writePdf(const QString& path, QString* error);
    /// "&Táblába": the stock list exported to the file (empty: asks); the name written.
    QString toFile(const QString& fileName = {});

private:
    void output(int kind);
    /// Opens the stock of the typed code (clearing the name label without a code) and hands
    /// its rows to the action; false with the database's text when it cannot be opened.
    bool withStock(const std::function<void(data::RowSource&)>& use, QString* error);

    QLineEdit* m_code;
    QLabel* m_name;
};

} // namespace mivo
