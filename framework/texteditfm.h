#pragma once

#include "textfile.h"
#include "torzsopener.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;

namespace mivo
{

/// "Szöveges fájl szerkesztése": the text file editor of the panels' "Text" buttons, created
/// once at start-up and registered as their TextFileEditor.
class TTextEditfm : public QDialog, public TextFileEditor
{
    Q_OBJECT
public:
    explicit TTextEditfm(QWidget* parent = nullptr);
    ~TTextEditfm() override;

    /// Shows the file modally (the label, the loaded text).
    void editFile(const QString& fileName) override;

    QString fileName() const { return m_fileName; }
    QPlainTextEdit* editor() const { return m_text; }

    // The commands, callable without clicking.
    /// "Mentés": true after a successful save ("A szöveget mentettük"); on failure the
    /// system's message, the modified mark and the old file stay.
    bool save();
    /// "Mentés másként" onto the name (empty: asks with the save dialog).
    bool saveAs(const QString& name = {});
    /// "Újratöltés": the file's text, or empty when it does not exist.
    void reload();
    /// "Vissza": asks when modified; true when the editor closed.
    bool back();
    bool writePdf(const QString& path, QString* error);

protected:
    void reject() override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool write(const QString& path);
    void print(bool preview);

    TextFile m_file;
    QString m_fileName;
    QLabel* m_name;
    QPlainTextEdit* m_text;
    bool m_closing = false;
};

} // namespace mivo
