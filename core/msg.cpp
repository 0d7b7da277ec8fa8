#include "msg.h"

#include "msgdialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

namespace mivo
{

namespace
{

constexpr int margin = 8;
constexpr int buttonPitch = 28;
constexpr int buttonHeight = 25;

QMainWindow* mainWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* main = qobject_cast<QMainWindow*>(w); main && main->isVisible())
            return main;
    return nullptr;
}

} // namespace

Tmsgfm::Tmsgfm(const QString& text, MessageKind kind, const TmsgButtons& captions, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("Tmsgfm"));
    setWindowTitle(messageTitle(kind));
    setModal(true);

    m_message = new QLabel(text, this);
    m_message->setObjectName(QStringLiteral("l_uzenet"));
    m_message->setTextFormat(Qt::PlainText);
    m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_message->move(margin, margin);
    m_message->resize(m_message->sizeHint());

    const TmsgButtons names =
        captions.isEmpty() ? TmsgButtons{QStringLiteral("Igen"), QStringLiteral("Nem")} : captions;
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int widest = 0;
    for (const QString& name : names)
        widest = qMax(widest, metrics.horizontalAdvance(name));
    const int left = margin + m_message->width() + 2 * margin;
    for (int i = 0; i < names.size(); ++i) {
        auto* button = new QPushButton(QLatin1Char('&') + names[i], this);
        button->setObjectName(QStringLiteral("b_%1").arg(i));
        button->setFont(bold);
        button->setGeometry(left, margin + i * buttonPitch, widest + 40, buttonHeight);
        connect(button, &QPushButton::clicked, this, [this, i] {
            m_chosen = i;
            done(QDialog::Accepted);
        });
        m_buttons << button;
    }
    const int buttonsHeight = int(names.size() - 1) * buttonPitch + buttonHeight;
    setFixedSize(left + widest + 40 + margin,
                 qMax(m_message->height(), buttonsHeight) + 2 * margin);
}

int Tmsgfm::ask(const QString& text, MessageKind kind, const TmsgButtons& captions)
{
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent)
        parent = mainWindow();
    Tmsgfm dialog(text, kind, captions, parent);
    dialog.centreOnMainWindow();
    dialog.exec();
    return dialog.chosen();
}

void Tmsgfm::centreOnMainWindow()
{
    if (const QMainWindow* main = mainWindow())
        move(main->frameGeometry().center() - rect().center());
}

void Tmsgfm::closeEvent(QCloseEvent* event)
{
    event->ignore();
}

} // namespace mivo
