#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
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

/// Answers a file dialog as a user does: types the whole path into its name field and
/// accepts, the dialog's own checks included. selectFile() would leave a name field that has
/// the focus alone, and whether it has it yet depends on the machine's load.
inline void typeIntoFileDialog(QFileDialog* dialog, const QString& path)
{
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}
