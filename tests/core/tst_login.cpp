#include "app/mivomain.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/login.h"
#include "core/messages.h"
#include "core/password.h"
#include "core/paths.h"
#include "framework/alapdat.h"
#include "platform/codepage.h"
#include "platform/dbquery.h"
#include "support/modal.h"
#include "support/testdb.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace mivo;

namespace
{

const QString wrong = QStringLiteral("Hibás név, vagy jelszó.");

// Runs the action on the login dialog as soon as it is on screen (it is modal).
void whenShown(std::function<void(TPasswordfm*)> action)
{
    whenModal<TPasswordfm>(std::move(action));
}

QLineEdit* edit(QWidget* dialog, const char* name)
{
    return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
}

void press(QWidget* dialog, const char* name)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

// Types any text, accented letters included.
void type(QWidget* w, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? fromWindows1250(f.readAll()) : QStringLiteral("<none>");
}

void writeFile(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(toWindows1250(text));
}

} // namespace

class TstLogin : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstUser_data();
    void firstUser();
    void logIn_data();
    void logIn();
    void changePassword_data();
    void changePassword();
    void changeTouchesOnlyTheVerifiedRow();
    void lastUserFile();

    void loginDialog();
    void wrongPasswordKeepsTheDialogOpen();
    void exitAndCancel_data();
    void exitAndCancel();
    void keyboardNavigation();
    void upperCaseKeepsTheCursor();
    void passwordChangeDialog();
    void changeIsForTheUserOfThisRun();
    void mainWindowLogin();

private:
    std::unique_ptr<TestDb> m_db;
    std::unique_ptr<QTemporaryDir> m_dir;
    void addUser(const QString& kod, const QString& nev, const QString& nev2, const QString& jelszo,
                 const QString& jogok, const QString& aktiv);
    QString password(const QString& kod);
};

void TstLogin::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    paths::setProgramDir(m_dir->path());
    Ini::instance().clear();
    m_db = std::make_unique<TestDb>(QStringList{});
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY(m_db->openConnection(QStringLiteral("d_alap")));
}

void TstLogin::cleanup()
{
    m_db.reset();
    Td::instance().clearRunValues();
    Ini::instance().clear();
}

void TstLogin::addUser(const QString& kod, const QString& nev, const QString& nev2,
                       const QString& jelszo, const QString& jogok, const QString& aktiv)
{
    QString error;
    QVERIFY2(
        db::execute(QStringLiteral("d_mivo"),
                    QStringLiteral("INSERT INTO SZ_JUZER (KOD, NEV, NEV2, JELSZO, JOGOK, AKTIV) "
                                   "VALUES (:kod, :nev, :nev2, :jelszo, :jogok, :aktiv)"),
                    {{QStringLiteral("kod"), kod},
                     {QStringLiteral("nev"), nev},
                     {QStringLiteral("nev2"), nev2},
                     {QStringLiteral("jelszo"), jelszo},
                     {QStringLiteral("jogok"), jogok},
                     {QStringLiteral("aktiv"), aktiv}},
                    &error),
        qPrintable(error));
}

QString TstLogin::password(const QString& kod)
{
    return db::scalar(QStringLiteral("d_mivo"),
                      QStringLiteral("SELECT JELSZO FROM SZ_JUZER WHERE KOD = :kod"),
                      {{QStringLiteral("kod"), kod}})
        .toString();
}

void TstLogin::firstUser_data()
{
    QTest::addColumn<QString>("existing"); // AKTIV of a row QVX / of a row KISS, "-" = no row
    QTest::addColumn<bool>("inserted");
    QTest::newRow("empty table") << "- -" << true;
    QTest::newRow("every user inactive") << "- N" << true;
    QTest::newRow("built-in user deactivated") << "N N" << true;
    QTest::newRow("an active user") << "- I" << false;
}

void TstLogin::firstUser()
{
    QFETCH(QString, existing);
    QFETCH(bool, inserted);
    const QStringList aktiv = existing.split(QLatin1Char(' '));
    if (aktiv[0] != QLatin1String("-"))
        addUser(QStringLiteral("QVX"), QStringLiteral("REGI"), QString(), QStringLiteral("ABC"),
                QString(), aktiv[0]);
    if (aktiv[1] != QLatin1String("-"))
        addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva"),
                QStringLiteral("KE"), QStringLiteral("A"), aktiv[1]);
    const int before =
        db::scalar(QStringLiteral("d_mivo"), QStringLiteral("SELECT COUNT(*) FROM SZ_JUZER"))
            .toInt();

    ScriptedMessagesGuard messages;
    Login login;
    QVERIFY(login.ensureFirstUser());
    QVERIFY(login.ensureFirstUser()); // a second opening adds nobody
    QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join('\n')));

    db::Query q(QStringLiteral("d_mivo"));
    q.setSql(QStringLiteral("SELECT * FROM SZ_JUZER WHERE KOD = 'QVX'"));
    QVERIFY(q.exec());
    q.first();
    const int after =
        db::scalar(QStringLiteral("d_mivo"), QStringLiteral("SELECT COUNT(*) FROM SZ_JUZER"))
            .toInt();
    if (!inserted) {
        QCOMPARE(q.recordCount(), 0);
        QCOMPARE(after, before);
        return;
    }
    QCOMPARE(q.recordCount(), 1);
    QCOMPARE(q.text(QStringLiteral("NEV")), QStringLiteral("TARNOC"));
    QCOMPARE(q.text(QStringLiteral("JELSZO")), Login::firstUserPassword);
    QCOMPARE(q.text(QStringLiteral("JOGOK")), QStringLiteral("W"));
    QCOMPARE(q.text(QStringLiteral("AKTIV")), QStringLiteral("I"));
    QCOMPARE(after, aktiv[0] == QLatin1String("-") ? before + 1 : before);
    QCOMPARE(Login::firstUserPassword.size(), 5);
    QCOMPARE(Login::firstUserPassword, Login::firstUserPassword.toUpper());
    // And the first user can log in with it.
    QCOMPARE(login.logIn(QStringLiteral("TARNOC"), Login::firstUserPassword), Login::Result::Ok);
}

void TstLogin::logIn_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ok");
    QTest::newRow("right") << "KISS"
                           << "TITOK" << true;
    QTest::newRow("wrong password") << "KISS"
                                    << "TITKO" << false;
    QTest::newRow("unknown name") << "NAGY"
                                  << "TITOK" << false;
    QTest::newRow("inactive user") << "REGI"
                                   << "REGI" << false;
    QTest::newRow("not upper case") << "kiss"
                                    << "titok" << false;
    QTest::newRow("empty") << ""
                           << "" << false;
    QTest::newRow("injection in the name") << "X' OR '1'='1"
                                           << "X' OR '1'='1" << false;
    QTest::newRow("injection in the password") << "KISS"
                                               << "' OR ''='" << false;
}

void TstLogin::logIn()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, ok);
    addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral(" Kiss Éva "),
            QStringLiteral("TITOK"), QStringLiteral(" AB9 "), QStringLiteral("I"));
    addUser(QStringLiteral("R1"), QStringLiteral("REGI"), QStringLiteral("Régi"),
            QStringLiteral("REGI"), QStringLiteral("W"), QStringLiteral("N"));
    Td::instance().userName = QStringLiteral("előző");

    ScriptedMessagesGuard messages;
    Login login;
    QCOMPARE(login.logIn(name, password),
             ok ? Login::Result::Ok : Login::Result::WrongNameOrPassword);
    const Td& td = Td::instance();
    if (ok) {
        QVERIFY(messages->texts.isEmpty());
        QCOMPARE(td.userName, QStringLiteral("Kiss Éva"));
        QCOMPARE(td.userRights, QStringLiteral("AB9"));
        QCOMPARE(td.userCode, QStringLiteral("K1"));
        QCOMPARE(login.loggedInName(), QStringLiteral("KISS"));
    } else {
        QCOMPARE(messages->texts, QStringList{wrong});
        QCOMPARE(td.userName, QStringLiteral("előző"));
        QVERIFY(td.userCode.isEmpty());
        QVERIFY(login.loggedInName().isEmpty());
    }
}

void TstLogin::changePassword_data()
{
    QTest::addColumn<QString>("old");
    QTest::addColumn<QString>("fresh");
    QTest::addColumn<QString>("confirmation");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored");
    using R = Login::Result;
    QTest::newRow("changed, trimmed")
        << "TITOK"
        << " UJ1 "
        << "UJ1 " << int(R::Ok) << "A jelszó sikeresen módositva lett."
        << "UJ1";
    QTest::newRow("new password missing")
        << "TITOK"
        << "  "
        << "UJ1" << int(R::MissingNewPassword) << "Kérem, adja meg az új jelszót!"
        << "TITOK";
    QTest::newRow("confirmation missing")
        << "TITOK"
        << "UJ1"
        << "" << int(R::MissingConfirmation) << "Kérem, erősitse meg az új jelszót!"
        << "TITOK";
    QTest::newRow("confirmation differs")
        << "TITOK"
        << "UJ1"
        << "UJ2" << int(R::ConfirmationDiffers) << "Az új és a megerősitett jelszó eltér."
        << "TITOK";
    QTest::newRow("old password wrong") << "TITKO"
                                        << "UJ1"
                                        << "UJ1" << int(R::WrongNameOrPassword) << wrong << "TITOK";
}

void TstLogin::changePassword()
{
    QFETCH(QString, old);
    QFETCH(QString, fresh);
    QFETCH(QString, confirmation);
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva"),
            QStringLiteral("TITOK"), QStringLiteral("A"), QStringLiteral("I"));
    Td::instance().userCode = QStringLiteral("QVX");

    ScriptedMessagesGuard messages;
    Login login;
    QCOMPARE(int(login.changePassword(QStringLiteral("KISS"), old, fresh, confirmation)), result);
    QCOMPARE(messages->texts, QStringList{message});
    QCOMPARE(password(QStringLiteral("K1")), stored);
    QCOMPARE(Td::instance().userCode, QStringLiteral("QVX"));
}

void TstLogin::changeTouchesOnlyTheVerifiedRow()
{
    addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva"),
            QStringLiteral("TITOK"), QStringLiteral("A"), QStringLiteral("I"));
    addUser(QStringLiteral("K0"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva (régi)"),
            QStringLiteral("REGI"), QStringLiteral("W"), QStringLiteral("N"));
    ScriptedMessagesGuard messages;
    Login login;
    QCOMPARE(login.changePassword(QStringLiteral("KISS"), QStringLiteral("TITOK"),
                                  QStringLiteral("UJ"), QStringLiteral("UJ")),
             Login::Result::Ok);
    QCOMPARE(password(QStringLiteral("K1")), QStringLiteral("UJ"));
    QCOMPARE(password(QStringLiteral("K0")), QStringLiteral("REGI"));
    QCOMPARE(messages->texts, QStringList{QStringLiteral("A jelszó sikeresen módositva lett.")});
}

void TstLogin::lastUserFile()
{
    // Absent and "C:\" mean the program's folder.
    QCOMPARE(Login::lastUserFile(), m_dir->filePath(QStringLiteral("SZOT_user.ini")));
    Ini::instance().set(QStringLiteral("INI_PATH"), QStringLiteral("C:\\"));
    QCOMPARE(Login::lastUserFile(), m_dir->filePath(QStringLiteral("SZOT_user.ini")));
    QCOMPARE(Login::lastUser(), QString());

    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("felh")));
    Ini::instance().set(QStringLiteral("INI_PATH"), QStringLiteral("felh\\"));
    const QString file = m_dir->filePath(QStringLiteral("felh/SZOT_user.ini"));
    QCOMPARE(QFileInfo(Login::lastUserFile()).absoluteFilePath(),
             QFileInfo(file).absoluteFilePath());
    writeFile(file, QStringLiteral("SZŐKE\r\nmásodik sor\r\n"));
    QCOMPARE(Login::lastUser(), QStringLiteral("SZŐKE"));
    Login::storeLastUser(QStringLiteral("KISS"));
    QCOMPARE(readFile(file), QStringLiteral("KISS\r\nmásodik sor\r\n"));

    // A folder that cannot be written is ignored.
    Ini::instance().set(QStringLiteral("INI_PATH"), QStringLiteral("nincs/ilyen/"));
    Login::storeLastUser(QStringLiteral("KISS"));
    QCOMPARE(Login::lastUser(), QString());
}

void TstLogin::loginDialog()
{
    addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva"),
            QStringLiteral("TITOK"), QStringLiteral("A"), QStringLiteral("I"));
    writeFile(Login::lastUserFile(), QStringLiteral("KISS\r\n"));
    ScriptedMessagesGuard messages;
    TPasswordfm dialog;
    QString title, shownName;
    bool newFieldsHidden = false, passwordFocused = false, nameEnabled = false;
    whenShown([&](TPasswordfm* d) {
        title = d->windowTitle();
        shownName = edit(d, "e_nev")->text();
        nameEnabled = edit(d, "e_nev")->isEnabled();
        newFieldsHidden = !edit(d, "e_uj")->isVisible() && !edit(d, "e_uj2")->isVisible();
        passwordFocused = d->focusWidget() == edit(d, "e_jelszo");
        QTest::keyClicks(edit(d, "e_jelszo"), QStringLiteral("titok"));
        press(d, "b_ok");
    });
    QVERIFY(dialog.run(TPasswordfm::Mode::Login));
    QCOMPARE(dialog.outcome(), TPasswordfm::Success);
    QCOMPARE(title, QStringLiteral("Bejelentkezés a programba"));
    QCOMPARE(shownName, QStringLiteral("KISS"));
    QVERIFY(nameEnabled);
    QVERIFY(newFieldsHidden);
    QVERIFY(passwordFocused);
    QCOMPARE(Td::instance().userCode, QStringLiteral("K1"));
    QVERIFY(messages->texts.isEmpty());
    // With an active user there, the first user is not added.
    QCOMPARE(db::scalar(QStringLiteral("d_mivo"), QStringLiteral("SELECT COUNT(*) FROM SZ_JUZER"))
                 .toInt(),
             1);

    // The next opening starts with an empty password.
    whenShown([](TPasswordfm* d) {
        QVERIFY(edit(d, "e_jelszo")->text().isEmpty());
        press(d, "b_megse");
    });
    QVERIFY(!dialog.run(TPasswordfm::Mode::Login));
}

void TstLogin::wrongPasswordKeepsTheDialogOpen()
{
    ScriptedMessagesGuard messages;
    TPasswordfm dialog;
    bool stayedOpen = false, passwordFocused = false;
    TPasswordfm::Outcome afterWrong = TPasswordfm::Success;
    whenShown([&](TPasswordfm* d) {
        QTest::keyClicks(edit(d, "e_nev"), QStringLiteral("X' OR '1'='1"));
        QTest::keyClicks(edit(d, "e_jelszo"), QStringLiteral("X' OR '1'='1"));
        press(d, "b_ok");
        stayedOpen = d->isVisible();
        afterWrong = d->outcome();
        passwordFocused = d->focusWidget() == edit(d, "e_jelszo");
        edit(d, "e_nev")->setText(QStringLiteral("TARNOC"));
        edit(d, "e_jelszo")->setText(QStringLiteral("ROSSZ"));
        press(d, "b_ok");
        press(d, "b_megse");
    });
    QVERIFY(!dialog.run(TPasswordfm::Mode::Login));
    QVERIFY(stayedOpen);
    QVERIFY(passwordFocused);
    QCOMPARE(afterWrong, TPasswordfm::Wrong);
    QCOMPARE(dialog.outcome(), TPasswordfm::Cancelled);
    QCOMPARE(messages->texts, QStringList({wrong, wrong}));
    QVERIFY(Td::instance().userCode.isEmpty());
    // The first user was created on a database without users; the name typed is remembered.
    QCOMPARE(password(QStringLiteral("QVX")), Login::firstUserPassword);
    QCOMPARE(readFile(Login::lastUserFile()), QStringLiteral("TARNOC\r\n"));
}

void TstLogin::exitAndCancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("outcome");
    QTest::newRow("Mégse") << "b_megse" << int(TPasswordfm::Cancelled);
    QTest::newRow("Kilépés") << "b_kilepes" << int(TPasswordfm::Exit);
    QTest::newRow("Esc") << "esc" << int(TPasswordfm::Cancelled);
    QTest::newRow("closed") << "close" << int(TPasswordfm::Cancelled);
}

void TstLogin::exitAndCancel()
{
    QFETCH(QString, how);
    QFETCH(int, outcome);
    ScriptedMessagesGuard messages;
    TPasswordfm dialog;
    whenShown([&](TPasswordfm* d) {
        edit(d, "e_nev")->setText(QStringLiteral("NAGY"));
        if (how == QLatin1String("esc"))
            QTest::keyClick(edit(d, "e_jelszo"), Qt::Key_Escape);
        else if (how == QLatin1String("close"))
            d->close();
        else
            press(d, qPrintable(how));
    });
    QVERIFY(!dialog.run(TPasswordfm::Mode::Login));
    QCOMPARE(int(dialog.outcome()), outcome);
    QCOMPARE(readFile(Login::lastUserFile()), QStringLiteral("NAGY\r\n"));
    QVERIFY(messages->texts.isEmpty());
}

void TstLogin::keyboardNavigation()
{
    ScriptedMessagesGuard messages;
    TPasswordfm dialog;
    QStringList trail;
    auto focused = [&dialog] {
        return dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
    };
    whenShown([&](TPasswordfm* d) {
        QLineEdit* nev = edit(d, "e_nev");
        nev->setFocus();
        nev->setText(QStringLiteral("TARNOC"));
        QTest::keyClick(nev, Qt::Key_Return);
        trail << focused();
        QTest::keyClick(d->focusWidget(), Qt::Key_Up);
        trail << focused();
        QTest::keyClick(d->focusWidget(), Qt::Key_Up); // nothing above the name
        trail << focused();
        QTest::keyClick(d->focusWidget(), Qt::Key_Down);
        trail << focused();
        QTest::keyClicks(d->focusWidget(), Login::firstUserPassword);
        QTest::keyClick(d->focusWidget(), Qt::Key_Enter); // to the button, not pressing it
        trail << focused() << (d->isVisible() ? "open" : "closed");
        QTest::keyClick(d->focusWidget(), Qt::Key_Return); // presses the focused button
    });
    QVERIFY(dialog.run(TPasswordfm::Mode::Login));
    QCOMPARE(trail, QStringList({"e_jelszo", "e_nev", "e_nev", "e_jelszo", "b_ok", "open"}));
    QCOMPARE(Td::instance().userCode, QStringLiteral("QVX"));
    QVERIFY(messages->texts.isEmpty());
}

void TstLogin::upperCaseKeepsTheCursor()
{
    TPasswordfm dialog;
    QLineEdit* nev = edit(&dialog, "e_nev");
    dialog.show();
    nev->setFocus();
    QTest::keyClicks(nev, QStringLiteral("kiss"));
    nev->setCursorPosition(2);
    type(nev, QStringLiteral("őé"));
    QCOMPARE(nev->text(), QStringLiteral("KIŐÉSS"));
    QCOMPARE(nev->cursorPosition(), 4);
    QLineEdit* jelszo = edit(&dialog, "e_jelszo");
    type(jelszo, QStringLiteral("űx"));
    QCOMPARE(jelszo->text(), QStringLiteral("ŰX"));
    QCOMPARE(jelszo->echoMode(), QLineEdit::Password);
}

void TstLogin::passwordChangeDialog()
{
    addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva"),
            QStringLiteral("TITOK"), QStringLiteral("A"), QStringLiteral("I"));
    writeFile(Login::lastUserFile(), QStringLiteral("KISS\r\n"));
    ScriptedMessagesGuard messages;
    TPasswordfm dialog;
    QString title;
    bool nameDisabled = false, newFieldsShown = false;
    QStringList focusAfter;
    whenShown([&](TPasswordfm* d) {
        title = d->windowTitle();
        nameDisabled = !edit(d, "e_nev")->isEnabled();
        newFieldsShown = edit(d, "e_uj")->isVisible() && edit(d, "e_uj2")->isVisible();
        edit(d, "e_jelszo")->setText(QStringLiteral("TITOK"));
        press(d, "b_ok"); // no new password
        focusAfter << d->focusWidget()->objectName();
        edit(d, "e_uj")->setText(QStringLiteral("UJ"));
        press(d, "b_ok"); // no confirmation
        focusAfter << d->focusWidget()->objectName();
        edit(d, "e_uj2")->setText(QStringLiteral("MAS"));
        press(d, "b_ok"); // differs
        focusAfter << d->focusWidget()->objectName();
        focusAfter << (d->isVisible() ? "open" : "closed");
        edit(d, "e_uj2")->setText(QStringLiteral("UJ"));
        press(d, "b_ok");
    });
    QVERIFY(dialog.run(TPasswordfm::Mode::ChangePassword));
    QCOMPARE(title, QStringLiteral("Jelszó megváltoztatása"));
    QVERIFY(nameDisabled);
    QVERIFY(newFieldsShown);
    QCOMPARE(focusAfter, QStringList({"e_uj", "e_uj", "e_uj", "open"}));
    QCOMPARE(messages->texts,
             QStringList({"Kérem, adja meg az új jelszót!", "Kérem, erősitse meg az új jelszót!",
                          "Az új és a megerősitett jelszó eltér.",
                          "A jelszó sikeresen módositva lett."}));
    QCOMPARE(password(QStringLiteral("K1")), QStringLiteral("UJ"));
    // Neither the current user nor the last-user file changes, and no first user is added.
    QVERIFY(Td::instance().userCode.isEmpty());
    QCOMPARE(readFile(Login::lastUserFile()), QStringLiteral("KISS\r\n"));
    QCOMPARE(db::scalar(QStringLiteral("d_mivo"), QStringLiteral("SELECT COUNT(*) FROM SZ_JUZER"))
                 .toInt(),
             1);

    // Cancelling a password change is no success either.
    whenShown([](TPasswordfm* d) { press(d, "b_megse"); });
    QVERIFY(!dialog.run(TPasswordfm::Mode::ChangePassword));
}

void TstLogin::changeIsForTheUserOfThisRun()
{
    addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva"),
            QStringLiteral("TITOK"), QStringLiteral("A"), QStringLiteral("I"));
    addUser(QStringLiteral("N1"), QStringLiteral("NAGY"), QStringLiteral("Nagy Ádám"),
            QStringLiteral("TITOK"), QStringLiteral("A"), QStringLiteral("I"));
    ScriptedMessagesGuard messages;
    TPasswordfm dialog;
    QCOMPARE(dialog.login().logIn(QStringLiteral("KISS"), QStringLiteral("TITOK")),
             Login::Result::Ok);
    // Another workstation user's name in the file does not matter any more.
    writeFile(Login::lastUserFile(), QStringLiteral("NAGY\r\n"));
    QString shownName;
    whenShown([&](TPasswordfm* d) {
        shownName = edit(d, "e_nev")->text();
        edit(d, "e_jelszo")->setText(QStringLiteral("TITOK"));
        edit(d, "e_uj")->setText(QStringLiteral("UJ"));
        edit(d, "e_uj2")->setText(QStringLiteral("UJ"));
        press(d, "b_ok");
    });
    QVERIFY(dialog.run(TPasswordfm::Mode::ChangePassword));
    QCOMPARE(shownName, QStringLiteral("KISS"));
    QCOMPARE(password(QStringLiteral("K1")), QStringLiteral("UJ"));
    QCOMPARE(password(QStringLiteral("N1")), QStringLiteral("TITOK"));
}

void TstLogin::mainWindowLogin()
{
    addUser(QStringLiteral("K1"), QStringLiteral("KISS"), QStringLiteral("Kiss Éva"),
            QStringLiteral("TITOK"), QStringLiteral("AB"), QStringLiteral("I"));
    addUser(QStringLiteral("N1"), QStringLiteral("NAGY"), QStringLiteral("Nagy Ádám"),
            QStringLiteral("JELSZO"), QStringLiteral("W"), QStringLiteral("I"));
    writeFile(m_dir->filePath(QStringLiteral("MIVO.INI")),
              QStringLiteral("DBSERVER=") + m_db->path() + QStringLiteral("\r\n"));
    ScriptedMessagesGuard messages;
    Tmivomainfm window;
    auto logInAs = [](const QString& name, const QString& password) {
        whenShown([name, password](TPasswordfm* d) {
            edit(d, "e_nev")->setText(name);
            edit(d, "e_jelszo")->setText(password);
            press(d, "b_ok");
        });
    };

    // Without WPWD=NONE the start-up runs the login.
    logInAs(QStringLiteral("KISS"), QStringLiteral("TITOK"));
    QVERIFY(window.runStartup());
    QCOMPARE(Td::instance().userCode, QStringLiteral("K1"));
    QCOMPARE(Td::instance().userName, QStringLiteral("Kiss Éva"));
    // The editor checks the same user's rights and logs changes under the login name.
    QCOMPARE(Tdm::instance().FrameworkRights, QStringLiteral("AB"));
    QCOMPARE(Tdm::instance().FrameworkUser, QStringLiteral("KISS"));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QAction* logout = window.action(QStringLiteral("Kijelentkezes"));
    QAction* change = window.action(QStringLiteral("jelszovaltas"));
    QVERIFY(logout->isEnabled() && change->isEnabled());
    logInAs(QStringLiteral("NAGY"), QStringLiteral("JELSZO"));
    logout->trigger();
    QVERIFY(window.isVisible());
    QCOMPARE(Td::instance().userCode, QStringLiteral("N1"));
    QCOMPARE(Td::instance().userRights, QStringLiteral("W"));
    QCOMPARE(Tdm::instance().FrameworkRights, QStringLiteral("W"));
    QCOMPARE(Tdm::instance().FrameworkUser, QStringLiteral("NAGY"));

    // A password change that stores nothing ends the program.
    whenShown([](TPasswordfm* d) {
        QCOMPARE(edit(d, "e_nev")->text(), QStringLiteral("NAGY"));
        press(d, "b_megse");
    });
    change->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY2(messages->texts.isEmpty(), qPrintable(messages->texts.join('\n')));
}

QTEST_MAIN(TstLogin)
#include "tst_login.moc"
