#include "screen.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace mivo
{

Screen::Screen(QWidget* parent) : QWidget(parent, Qt::Window), m_buttons(new QWidget(this))
{
    auto* bar = new QHBoxLayout(m_buttons);
    bar->setContentsMargins(2, 2, 2, 2);
}

void Screen::prepare(const QString& mode)
{
    m_mode = mode;
    initialise();
}

void Screen::setEditing(bool editing)
{
    m_editing.setEditing(editing);
    editingChanged(editing);
}

QPushButton* Screen::addCommandButton(const QString& name, const QString& text,
                                      std::function<void()> run)
{
    m_commands.add(name, text, std::move(run));
    QPushButton* button = m_commands.pushButton(u"b_"_s + name, name, m_buttons);
    m_buttons->layout()->addWidget(button);
    return button;
}

void Screen::finishButtonBar()
{
    static_cast<QHBoxLayout*>(m_buttons->layout())->addStretch();
}

void Screen::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace mivo
