#pragma once

#include <QString>

namespace mivo
{

/// Users of SZ_JUZER on the metadata connection: the first user, logging in, changing one's
/// own password and the last-user file. Messages go through the message service.
class Login
{
public:
    /// What a check ended with; the login dialog puts the focus by it.
    enum class Result {
        Ok,
        WrongNameOrPassword, ///< "Hibás név, vagy jelszó."
        MissingNewPassword,  ///< "Kérem, adja meg az új jelszót!"
        MissingConfirmation, ///< "Kérem, erősitse meg az új jelszót!"
        ConfirmationDiffers, ///< "Az új és a megerősitett jelszó eltér."
        DatabaseError,       ///< the database layer's text was shown
    };

    static const QString connection;        ///< "d_alap"
    static const QString firstUserPassword; ///< built-in password of the first user
    static const QString lastUserFileName;  ///< "SZOT_user.ini"

    /// Inserts the first user (QVX, TARNOC, rights "W") unless an active user exists; a
    /// deactivated QVX row is taken over and activated. False after showing the database's text.
    bool ensureFirstUser();

    /// Looks up the active user by the name and password as typed. On success the user's
    /// display name, rights and code become the run-wide values and the login name is
    /// remembered as the user of this run.
    Result logIn(const QString& name, const QString& password);

    /// Changes the password of the active user whom the name and old password identify.
    /// The current user's values stay as they are.
    Result changePassword(const QString& name, const QString& password, const QString& newPassword,
                          const QString& confirmation);

    /// The login name of whoever logged in during this run; empty when nobody did.
    QString loggedInName() const { return m_loggedInName; }

    /// The last-user file in INI_PATH (absent or "C:\": the program's folder).
    static QString lastUserFile();
    /// First line of the last-user file; empty when there is none.
    static QString lastUser();
    /// Writes the name as the file's first line; a failure is ignored.
    static void storeLastUser(const QString& name);

private:
    struct User {
        QString kod, nev, nev2, jogok;
    };
    /// The active user with exactly this name and password (Ok), none (WrongNameOrPassword,
    /// after the message) or DatabaseError.
    Result findUser(const QString& name, const QString& password, User& user);

    QString m_loggedInName;
};

} // namespace mivo
