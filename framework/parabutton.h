#pragma once

#include <QPushButton>

namespace mivo
{

/// The button of a field row, carrying the row's lookup parameters.
class TParaButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QString param1 MEMBER param1)
    Q_PROPERTY(QString param2 MEMBER param2)
    Q_PROPERTY(int param3 MEMBER param3)
    Q_PROPERTY(QString param4 MEMBER param4)
    Q_PROPERTY(QString param5 MEMBER param5)
    Q_PROPERTY(QString param6 MEMBER param6)
    Q_PROPERTY(QString param7 MEMBER param7)
public:
    explicit TParaButton(QWidget* parent = nullptr);

    /// How the button got the focus last: a click (Qt::MouseFocusReason) does its own
    /// lookup, a Tab leaves the input for it.
    Qt::FocusReason lastFocusReason() const { return m_focusReason; }

    QString param1; ///< the field, or BUTTON + "_" + SORREND for a row without one
    QString param2; ///< dictionary table list (SZOT_)
    int param3 = 0; ///< FUNKCIO
    QString param4; ///< PVEZERLO panel
    QString param5; ///< dictionary condition (SZOTWHERE)
    QString param6; ///< dictionary column (SZOTMEZO)
    QString param7; ///< first information expression (PLUSFIELD1)

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    Qt::FocusReason m_focusReason = Qt::OtherFocusReason;
};

} // namespace mivo
