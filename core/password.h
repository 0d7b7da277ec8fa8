#pragma once

#include "login.h"

#include <QDialog>

class QFormLayout;
class QLineEdit;

namespace mivo
{

/// The login dialog: "Bejelentkezés a programba" identifies the user, "Jelszó megváltoztatása"
/// changes the own password. It lives for the whole run, so that it knows who logged in.
class TPasswordfm : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Login, ChangePassword };
    /// "O" success, "N" wrong name or password, "X" cancelled, "K" exit.
    enum Outcome : char { Success = 'O', Wrong = 'N', Cancelled = 'X', Exit = 'K' };

    explicit TPasswordfm(QWidget* parent = nullptr);

    /// Prepares the dialog for a showing in the mode (fields, caption, last user, first user).
    void prepare(Mode mode);
    /// prepare() and a modal showing; true when the outcome is success.
    bool run(Mode mode);

    Mode mode() const { return m_mode; }
    Outcome outcome() const { return m_outcome; }
    Login& login() { return m_login; }

    void done(int result) override;
    /// "&Mégse", Esc and the window's close button: outcome "X".
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void okClicked();
    void finish(Outcome outcome);

    Login m_login;
    Mode m_mode = Mode::Login;
    Outcome m_outcome = Cancelled;
    QFormLayout* m_form = nullptr;
    QLineEdit* m_nev = nullptr;
    QLineEdit* m_jelszo = nullptr;
    QLineEdit* m_uj = nullptr;
    QLineEdit* m_uj2 = nullptr;
};

} // namespace mivo
