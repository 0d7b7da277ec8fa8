#include "menuscreen.h"

#include <QDialog>
#include <QWidget>

namespace mivo
{

QString menuCaption(const QString& menuText)
{
    return QString(menuText).remove(QLatin1Char('&'));
}

void openScreen(MenuScreen& screen, const QString& menuText, const QString& mode, bool modal)
{
    QWidget* w = screen.widget();
    w->setWindowTitle(menuCaption(menuText));
    screen.prepare(mode);
    if (modal) {
        if (auto* dialog = qobject_cast<QDialog*>(w)) {
            dialog->exec();
            return;
        }
        w->setWindowModality(Qt::ApplicationModal);
    }
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace mivo
