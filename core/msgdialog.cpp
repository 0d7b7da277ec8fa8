#include "msgdialog.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace mivo {

QString messageTitle(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Question:
        return QStringLiteral("   Kérem, döntsön!");
    case MessageKind::Warning:
        return QStringLiteral("   Figyelmeztetés");
    case MessageKind::Error:
        return QStringLiteral("   Hiba történt");
    default:
        return QStringLiteral("   Párbeszéd ablak");
    }
}

void DialogMessages::show(const QString& text, MessageKind kind)
{
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                    QApplication::applicationName(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

int DialogMessages::ask(const QString& text, MessageKind kind, const QStringList& captions)
{
    QMessageBox box(QMessageBox::Question, messageTitle(kind), text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    QList<QAbstractButton*> buttons;
    if (captions.isEmpty()) {
        buttons << box.addButton(QMessageBox::Yes) << box.addButton(QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        for (const QString& caption : captions)
            buttons << box.addButton(caption, QMessageBox::AcceptRole);
    }
    box.exec();
    const int index = int(buttons.indexOf(box.clickedButton()));
    return index < 0 ? int(buttons.size()) - 1 : index;
}

} // namespace mivo
