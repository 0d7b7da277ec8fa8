#include "parabutton.h"

#include <QFocusEvent>

namespace mivo
{

TParaButton::TParaButton(QWidget* parent) : QPushButton(parent)
{
    // A click takes the focus, so that leaving an input for its own button is seen as such.
    setFocusPolicy(Qt::StrongFocus);
}

void TParaButton::focusInEvent(QFocusEvent* event)
{
    // Qt sends this before it tells the panel that the focus moved.
    m_focusReason = event->reason();
    QPushButton::focusInEvent(event);
}

} // namespace mivo
