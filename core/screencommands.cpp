#include "screencommands.h"

#include <QAction>
#include <QPushButton>
#include <QToolBar>

namespace mivo
{

QAction* ScreenCommands::add(const QString& name, const QString& text, std::function<void()> run,
                             const QKeySequence& shortcut)
{
    auto* action = new QAction(text, m_screen);
    action->setObjectName(name);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        m_screen->addAction(action);
    }
    if (run)
        QObject::connect(action, &QAction::triggered, m_screen, [run] { run(); });
    m_actions[name] = action;
    return action;
}

QAction* ScreenCommands::command(const QString& name) const
{
    const auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

QPushButton* ScreenCommands::pushButton(const QString& buttonName, const QString& command,
                                        QWidget* parent) const
{
    QAction* action = m_actions.at(command);
    auto* button = new QPushButton(action->text(), parent);
    button->setObjectName(buttonName);
    const auto follow = [button, action] {
        button->setText(action->text());
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    return button;
}

void ScreenCommands::toolButton(const QString& buttonName, const QString& command,
                                QToolBar* bar) const
{
    QAction* action = m_actions.at(command);
    bar->addAction(action);
    bar->widgetForAction(action)->setObjectName(buttonName);
}

} // namespace mivo
