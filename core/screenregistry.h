#pragma once

#include <QString>

#include <functional>
#include <map>

class QWidget;

namespace mivo
{

class MenuScreen;

/// What each main-menu item opens, registered by the subsystem that owns it: a screen
/// with a mode letter, created on first use and kept for the run, or a command run on
/// selection (the generic editor on a table, the settings). The main window asks the
/// registry; an item nobody registered stays present and disabled.
class ScreenRegistry
{
public:
    /// Creates the screen as a child of the owner (the main window).
    using Factory = std::function<MenuScreen*(QWidget* owner)>;
    /// Runs a command; the owner is the main window.
    using Command = std::function<void(QWidget* owner)>;

    /// The item (menu component name) opens the named screen in the mode. Items naming the
    /// same screen share one instance; the first registration's factory creates it.
    void addScreen(const QString& component, const QString& screen, const QString& mode,
                   Factory factory, bool modal = false);
    void addCommand(const QString& component, Command command);

    bool contains(const QString& component) const;
    /// Opens what the item registered; the screen's caption is the menu text without "&".
    /// False for an unregistered item.
    bool open(const QString& component, const QString& menuText, QWidget* owner);
    /// The named screen if it was created already, else nullptr.
    MenuScreen* created(const QString& screen) const;

private:
    struct Entry {
        QString screen;
        QString mode;
        bool modal = false;
        Command command;
    };

    std::map<QString, Entry> m_entries;
    std::map<QString, Factory> m_factories;
    std::map<QString, MenuScreen*> m_screens;
};

} // namespace mivo
