#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>
#include <map>

class QAction;
class QPushButton;
class QToolBar;
class QWidget;

namespace mivo
{

/// The commands of a screen: one QAction per command, which the screen's menu, its buttons
/// and its keys share. Enabling, disabling or hiding a command shows everywhere at once.
class ScreenCommands
{
public:
    /// Commands become children of the screen; their shortcuts work while it is active.
    explicit ScreenCommands(QWidget* screen) : m_screen(screen) {}

    /// A new command named `name` (the action's object name) with its text and action.
    QAction* add(const QString& name, const QString& text, std::function<void()> run,
                 const QKeySequence& shortcut = {});
    /// The command of the name; nullptr for an unknown one.
    QAction* command(const QString& name) const;

    /// A push button named `buttonName` that runs the command and follows its text and its
    /// enabled and visible state.
    QPushButton* pushButton(const QString& buttonName, const QString& command,
                            QWidget* parent) const;
    /// The command's button on a tool bar, named `buttonName`: it shows the command's icon
    /// and hint and hides with it.
    void toolButton(const QString& buttonName, const QString& command, QToolBar* bar) const;

private:
    QWidget* m_screen;
    std::map<QString, QAction*> m_actions;
};

} // namespace mivo
