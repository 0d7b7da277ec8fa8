#pragma once

#include <QString>

class QAction;
class QWidget;

namespace mivo {

/// A screen that the main menu shows with a mode letter ("U", "M", "KI", ...). It lives for
/// the whole run; each opening re-initialises its fields for the mode.
class MenuScreen {
public:
    virtual ~MenuScreen() = default;
    /// The widget that is shown.
    virtual QWidget* widget() = 0;
    /// Re-initialises the screen for the mode (also when it is already on screen).
    virtual void prepare(const QString& mode) = 0;
};

/// Opens a screen from a menu item: caption = the item's text without "&", then the mode,
/// then shown (non-modal) or run (modal, returns when closed).
void openFromMenu(MenuScreen& screen, const QAction& item, const QString& mode, bool modal);

/// A menu caption without its "&" accelerator marks.
QString menuCaption(const QAction& item);

} // namespace mivo
