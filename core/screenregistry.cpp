#include "screenregistry.h"

#include "menuscreen.h"

namespace mivo
{

void ScreenRegistry::addScreen(const QString& component, const QString& screen, const QString& mode,
                               Factory factory, bool modal)
{
    m_entries[component] = Entry{screen, mode, modal, {}};
    m_factories.try_emplace(screen, std::move(factory));
}

void ScreenRegistry::addCommand(const QString& component, Command command)
{
    m_entries[component] = Entry{{}, {}, false, std::move(command)};
}

bool ScreenRegistry::contains(const QString& component) const
{
    return m_entries.count(component) > 0;
}

bool ScreenRegistry::open(const QString& component, const QString& menuText, QWidget* owner)
{
    const auto entry = m_entries.find(component);
    if (entry == m_entries.end())
        return false;
    const Entry& e = entry->second;
    if (e.command) {
        e.command(owner);
        return true;
    }
    MenuScreen*& screen = m_screens[e.screen];
    if (!screen)
        screen = m_factories.at(e.screen)(owner);
    openScreen(*screen, menuText, e.mode, e.modal);
    return true;
}

MenuScreen* ScreenRegistry::created(const QString& screen) const
{
    const auto it = m_screens.find(screen);
    return it == m_screens.end() ? nullptr : it->second;
}

} // namespace mivo
