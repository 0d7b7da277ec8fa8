#pragma once

#include "messages.h"

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;

namespace mivo
{

/// Button captions of a question (`TmsgButtons`); empty means "Igen", "Nem".
using TmsgButtons = QStringList;

/// The message dialog with free button captions: the message at the top left, the buttons
/// stacked to its right. Only a button ends it: it has no close button and ignores Esc.
class Tmsgfm : public QDialog
{
    Q_OBJECT
public:
    Tmsgfm(const QString& text, MessageKind kind, const TmsgButtons& captions,
           QWidget* parent = nullptr);

    /// Shows the question modally, centred on the main window; the index of the chosen button.
    static int ask(const QString& text, MessageKind kind, const TmsgButtons& captions = {});

    /// Index of the button that ended the dialog; -1 while none has.
    int chosen() const { return m_chosen; }
    const QList<QPushButton*>& buttons() const { return m_buttons; }

protected:
    void closeEvent(QCloseEvent* event) override;
    /// Esc and the window manager's close do not end the dialog.
    void reject() override {}

private:
    void centreOnMainWindow();

    QLabel* m_message = nullptr;
    QList<QPushButton*> m_buttons;
    int m_chosen = -1;
};

} // namespace mivo
