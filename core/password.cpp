#include "password.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValidator>

namespace mivo
{

namespace
{

// Upper-cases what is typed, letter by letter, so that the cursor stays where it was and
// accented letters become their capitals.
class UpperCase : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        for (QChar& c : input)
            c = c.toUpper();
        return Acceptable;
    }
};

} // namespace

TPasswordfm::TPasswordfm(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TPasswordfm"));
    setModal(true);

    auto* upper = new UpperCase(this);
    m_form = new QFormLayout;
    auto field = [&](const char* name, const char* label, bool hidden) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setValidator(upper);
        if (hidden)
            edit->setEchoMode(QLineEdit::Password);
        edit->installEventFilter(this);
        m_form->addRow(new QLabel(QString::fromUtf8(label), this), edit);
        return edit;
    };
    m_nev = field("e_nev", " Név:", false);
    m_jelszo = field("e_jelszo", " Jelszó:", true);
    m_uj = field("e_uj", " Új jelszó:", true);
    m_uj2 = field("e_uj2", " Új jelszó megerősitése:", true);

    auto* ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("b_ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("&Mégse"), this);
    cancel->setObjectName(QStringLiteral("b_megse"));
    auto* quit = new QPushButton(QStringLiteral("&Kilépés"), this);
    quit->setObjectName(QStringLiteral("b_kilepes"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(quit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &TPasswordfm::okClicked);
    connect(cancel, &QPushButton::clicked, this, &TPasswordfm::reject);
    connect(quit, &QPushButton::clicked, this, [this] { finish(Exit); });
}

void TPasswordfm::prepare(Mode mode)
{
    m_mode = mode;
    m_outcome = Cancelled;
    const bool changing = mode == Mode::ChangePassword;
    m_jelszo->clear();
    m_uj->clear();
    m_uj2->clear();
    m_form->setRowVisible(m_uj, changing);
    m_form->setRowVisible(m_uj2, changing);
    // A password change is for whoever logged in during this run.
    const QString name =
        changing && !m_login.loggedInName().isEmpty() ? m_login.loggedInName() : Login::lastUser();
    m_nev->setText(name);
    m_nev->setEnabled(!changing);
    setWindowTitle(changing ? QStringLiteral("Jelszó megváltoztatása")
                            : QStringLiteral("Bejelentkezés a programba"));
    if (!changing)
        m_login.ensureFirstUser();
    m_jelszo->setFocus();
    adjustSize();
}

bool TPasswordfm::run(Mode mode)
{
    prepare(mode);
    exec();
    return m_outcome == Success;
}

void TPasswordfm::okClicked()
{
    const Login::Result result =
        m_mode == Mode::Login
            ? m_login.logIn(m_nev->text(), m_jelszo->text())
            : m_login.changePassword(m_nev->text(), m_jelszo->text(), m_uj->text(), m_uj2->text());
    switch (result) {
    case Login::Result::Ok:
        finish(Success);
        return;
    case Login::Result::WrongNameOrPassword:
        m_outcome = Wrong;
        m_jelszo->setFocus();
        return;
    case Login::Result::MissingNewPassword:
    case Login::Result::MissingConfirmation:
    case Login::Result::ConfirmationDiffers:
        m_uj->setFocus();
        return;
    case Login::Result::DatabaseError:
        return;
    }
}

void TPasswordfm::finish(Outcome outcome)
{
    m_outcome = outcome;
    done(outcome == Success ? Accepted : Rejected);
}

void TPasswordfm::reject()
{
    m_outcome = Cancelled;
    QDialog::reject();
}

void TPasswordfm::done(int result)
{
    // Every way out passes here (buttons, Esc, the window's close button).
    if (m_mode == Mode::Login)
        Login::storeLastUser(m_nev->text());
    QDialog::done(result);
}

bool TPasswordfm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Down:
        // From the last field on to the buttons; the default button is not pressed.
        focusNextChild();
        return true;
    case Qt::Key_Up: {
        QLineEdit* previous = nullptr;
        for (QLineEdit* e : {m_nev, m_jelszo, m_uj, m_uj2}) {
            if (e == watched)
                break;
            if (e->isEnabled() && e->isVisibleTo(this))
                previous = e;
        }
        if (previous)
            previous->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

} // namespace mivo
