#include "panelinput.h"

#include "core/altproc.h"
#include "platform/fieldtypes.h"

#include <QKeyEvent>
#include <QStyle>

using namespace Qt::StringLiterals;

namespace mivo
{

void PanelInput::setRequired(bool required)
{
    m_required = required;
    applyColours();
}

void PanelInput::setInvalid(bool invalid)
{
    m_invalid = invalid;
    applyColours();
}

bool PanelInput::isEditable()
{
    QWidget* w = widget();
    return w->isEnabled() && !w->isHidden() && !isReadOnly();
}

bool PanelInput::accepts(QChar c) const
{
    const data::FieldKind kind = data::kindOfTypeName(m_typeName);
    // A whole number takes a decimal separator too, so that leaving it refuses "2,5" instead
    // of the keystroke silently making it 25.
    if (data::isNumeric(kind))
        return c.isDigit() || c == QLatin1Char('-') || c == QLatin1Char(',') ||
               c == QLatin1Char('.');
    return true;
}

bool PanelInput::holdsWholeNumber() const
{
    if (!data::isInteger(data::kindOfTypeName(m_typeName)))
        return true;
    const QString text = value().trimmed();
    return text.isEmpty() || (alt::isNumber(text, true) && text != "-"_L1);
}

PanelInput* PanelInput::of(QObject* object)
{
    return dynamic_cast<PanelInput*>(object);
}

void PanelInput::applyColours()
{
    QWidget* w = widget();
    QPalette p = w->palette();
    p.setColor(QPalette::Base, m_required ? QColor(Qt::yellow)
                                          : w->style()->standardPalette().color(QPalette::Base));
    p.setColor(QPalette::Text,
               m_invalid ? QColor(Qt::red) : w->style()->standardPalette().color(QPalette::Text));
    w->setPalette(p);
}

PanelEdit::PanelEdit(QWidget* parent) : QLineEdit(parent) {}

void PanelEdit::setValue(const QString& text)
{
    if (text.size() > maxLength())
        setMaxLength(int(text.size()));
    setText(text);
}

PanelEdit::Case PanelEdit::caseOf(const QString& letter)
{
    const QString l = letter.trimmed().toUpper();
    if (l == QLatin1String("K") || l == QLatin1String("L"))
        return Case::Lower;
    if (l == QLatin1String("N") || l == QLatin1String("U"))
        return Case::Upper;
    return Case::Unchanged;
}

void PanelEdit::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (onNavigate && event->modifiers() == Qt::NoModifier &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down ||
         key == Qt::Key_Up)) {
        onNavigate(this, key == Qt::Key_Up ? -1 : 1);
        return;
    }
    const QString typed = event->text();
    if (typed.size() == 1 && typed[0].isPrint()) {
        if (!accepts(typed[0]))
            return;
        const QString shown = m_case == Case::Upper   ? typed.toUpper()
                              : m_case == Case::Lower ? typed.toLower()
                                                      : typed;
        if (shown != typed) {
            QKeyEvent changed(event->type(), key, event->modifiers(), shown, event->isAutoRepeat(),
                              ushort(event->count()));
            QLineEdit::keyPressEvent(&changed);
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

PanelMemo::PanelMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_loading)
            m_changed = true;
    });
}

void PanelMemo::setValue(const QString& text)
{
    m_loading = true;
    setPlainText(text);
    m_loading = false;
    m_changed = false;
}

} // namespace mivo
