#include "parabutton.h"

namespace mivo
{

TParaButton::TParaButton(QWidget* parent) : QPushButton(parent)
{
    // A click takes the focus, so that leaving an input for its own button is seen as such.
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace mivo
