#pragma once

#include "editingguard.h"
#include "menuscreen.h"
#include "screencommands.h"

#include <QWidget>

class QPushButton;

namespace mivo
{

/// A screen of the main menu: a window created once, re-initialised for its mode at every
/// opening, with its commands as shared actions, a button bar above its content and the
/// "editing" guard of a record being typed; failures go to messages::showError. Esc closes it.
class Screen : public QWidget, public MenuScreen
{
    Q_OBJECT
public:
    QWidget* widget() override { return this; }
    /// Takes the mode and starts afresh (initialise()).
    void prepare(const QString& mode) override;

    /// The mode of the opening ("U", "M", "KI", ...).
    QString mode() const { return m_mode; }

    /// Whether a record is being typed: commands that would leave it refuse meanwhile.
    bool editing() const { return m_editing.editing(); }
    void setEditing(bool editing);
    /// True, after telling the user, when a record is being typed.
    bool refuseWhileEditing() const { return m_editing.refuse(); }

    ScreenCommands& commands() { return m_commands; }
    /// The buttons above the screen's content.
    QWidget* buttonBar() const { return m_buttons; }

protected:
    explicit Screen(QWidget* parent);
    /// Prepares the screen for mode() as every opening does.
    virtual void initialise() = 0;
    /// Follows a change of the editing state (fields, grids).
    virtual void editingChanged(bool editing) { Q_UNUSED(editing) }
    /// A command with a push button on the button bar, both named after it: the command
    /// "x" has the button "b_x".
    QPushButton* addCommandButton(const QString& name, const QString& text,
                                  std::function<void()> run);
    /// Ends the bar: what follows stands at its left.
    void finishButtonBar();

    void keyPressEvent(QKeyEvent* event) override;

private:
    ScreenCommands m_commands{this};
    QWidget* m_buttons;
    QString m_mode;
    EditingGuard m_editing;
};

} // namespace mivo
