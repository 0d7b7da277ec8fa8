#pragma once

#include <QString>
#include <QStringList>

namespace mivo
{

/// The company code of the office the program was made for: the own company unless "CEGKOD"
/// names another, and the company whose technicians the planning grid shows until 23:00.
inline const QString velkorCompany = QStringLiteral("VELKOR");

/// The business data module: owner of the named connections and of the run-wide values
/// that every screen reads (current user, own company code, working directory, FTP).
class Td
{
public:
    /// Connection numbers of the connect routine.
    enum ConnectionNumber { Main = 1, Sd = 2, Merka = 3, Kuld = 4 };

    /// The SYSDBA account that connections use unless the configuration names another.
    static const QString builtinPassword;
    static const QString builtinUser;

    /// The account of every database connection: DBUSER and DBPASSWORD of the configuration
    /// when present, the built-in account otherwise (sites without them keep working).
    static QString databaseUser();
    static QString databasePassword();

    /// The module of the run.
    static Td& instance();

    /// Closes the connection, sets its parameters and opens it (d_mivo, d_sd, d_merka,
    /// d_kuld). Shows the connection's failure message and returns false when it cannot.
    /// For numbers without a connection it does nothing and returns true.
    bool connect(int number, const QString& location, const QString& aliasOrFolder = {});

    // Run-wide values
    QString userName;   ///< display name, printed as "Nyomtatta: " + name
    QString userRights; ///< rights string of the logged-in user
    QString userCode;   ///< stamped into JUZER columns
    QString ownCompany = velkorCompany;
    QString workPath; ///< WORK_PATH, a folder of this machine (may be empty)
    QString ftpServer;
    QString ftpUser;
    QString dbAlias;
    bool lettersAvailable = false;
    bool partsStockAvailable = false;
    bool jobHistoryAvailable = false;

    /// Text lines and attachments of the daily work instruction being written.
    QStringList instructionLines;
    QStringList mailAttachments;

    /// Forgets the run-wide values (program end, tests).
    void clearRunValues();

private:
    Td() = default;
};

} // namespace mivo
