#pragma once

#include <QString>

class QWidget;

namespace mivo
{

/// A screen that the main menu shows with a mode letter ("U", "M", "KI", ...). It lives for
/// the whole run; each opening re-initialises its fields for the mode, also when it is
/// already on screen in another mode.
class MenuScreen
{
public:
    virtual ~MenuScreen() = default;
    /// The widget that is shown.
    virtual QWidget* widget() = 0;
    /// Re-initialises the screen for the mode.
    virtual void prepare(const QString& mode) = 0;
};

/// Opens a screen from a menu item's text: caption = the text without "&", then the mode,
/// then shown (non-modal) or run (modal, returns when closed).
void openScreen(MenuScreen& screen, const QString& menuText, const QString& mode,
                bool modal = false);

/// A menu text without its "&" accelerator marks.
QString menuCaption(const QString& menuText);

} // namespace mivo
