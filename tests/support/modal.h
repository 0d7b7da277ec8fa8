#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>
#include <memory>

/// Runs the action on the modal dialog of the given type (and, with a predicate, the one it
/// accepts) as soon as it is on screen: arm it before the click that opens the dialog. Polls
/// every 10 ms and gives up after a minute: a first file dialog on a loaded machine takes
/// seconds to appear.
template <typename Dialog>
void whenModal(std::function<void(Dialog*)> action, std::function<bool(Dialog*)> accept = {})
{
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, action, accept] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        const bool found = dialog && (!accept || accept(dialog));
        if (found || ++*tries > 6000) {
            timer->stop();
            timer->deleteLater();
            if (found)
                action(dialog);
        }
    });
    timer->start(10);
}
