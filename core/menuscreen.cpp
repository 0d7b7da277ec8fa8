#include "menuscreen.h"

#include <QAction>
#include <QDialog>
#include <QWidget>

namespace mivo {

QString menuCaption(const QAction& item)
{
    QString caption = item.text();
    caption.remove(QLatin1Char('&'));
    return caption;
}

void openFromMenu(MenuScreen& screen, const QAction& item, const QString& mode, bool modal)
{
    QWidget* w = screen.widget();
    w->setWindowTitle(menuCaption(item));
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
