#include "login.h"

#include "dat.h"
#include "ini.h"
#include "messages.h"
#include "paths.h"
#include "platform/codepage.h"
#include "platform/dbquery.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace mivo
{

const QString Login::connection = QStringLiteral("d_alap");
const QString Login::firstUserPassword = QStringLiteral("MIVOX");
const QString Login::lastUserFileName = QStringLiteral("SZOT_user.ini");

namespace
{

const QString wrongNameOrPassword = QStringLiteral("Hibás név, vagy jelszó.");

QStringList lastUserLines()
{
    QFile file(Login::lastUserFile());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = fromWindows1250(file.readAll()).split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

bool Login::ensureFirstUser()
{
    db::Query active(connection);
    active.setSql(QStringLiteral("Select * from sz_juzer where aktiv='I'"));
    if (!active.exec()) {
        messages::show(active.lastError(), MessageKind::Error);
        return false;
    }
    if (active.recordCount() > 0)
        return true;
    // A deactivated built-in user keeps its key: take that row over instead of colliding with it.
    QString error;
    if (db::execute(
            connection,
            QStringLiteral("UPDATE OR INSERT INTO SZ_JUZER (KOD, NEV, JELSZO, JOGOK, AKTIV) "
                           "VALUES (:kod, :nev, :jelszo, :jogok, :aktiv) MATCHING (KOD)"),
            {{QStringLiteral("kod"), QStringLiteral("QVX")},
             {QStringLiteral("nev"), QStringLiteral("TARNOC")},
             {QStringLiteral("jelszo"), firstUserPassword},
             {QStringLiteral("jogok"), QStringLiteral("W")},
             {QStringLiteral("aktiv"), QStringLiteral("I")}},
            &error))
        return true;
    messages::show(error, MessageKind::Error);
    return false;
}

Login::Result Login::findUser(const QString& name, const QString& password, User& user)
{
    db::Query q(connection);
    q.setLines({QStringLiteral("Select * from sz_juzer where aktiv='I'"),
                QStringLiteral("and NEV = :nev and JELSZO = :jelszo")});
    q.bind(QStringLiteral("nev"), name);
    q.bind(QStringLiteral("jelszo"), password);
    if (!q.exec()) {
        messages::show(q.lastError(), MessageKind::Error);
        return Result::DatabaseError;
    }
    if (!q.first()) {
        messages::show(wrongNameOrPassword);
        return Result::WrongNameOrPassword;
    }
    user = {q.text(QStringLiteral("KOD")), q.text(QStringLiteral("NEV")),
            q.text(QStringLiteral("NEV2")), q.text(QStringLiteral("JOGOK"))};
    return Result::Ok;
}

Login::Result Login::logIn(const QString& name, const QString& password)
{
    User user;
    const Result found = findUser(name, password, user);
    if (found != Result::Ok)
        return found;
    Td& td = Td::instance();
    td.userName = user.nev2;
    td.userRights = user.jogok;
    td.userCode = user.kod;
    m_loggedInName = user.nev;
    return Result::Ok;
}

Login::Result Login::changePassword(const QString& name, const QString& password,
                                    const QString& newPassword, const QString& confirmation)
{
    User user;
    const Result found = findUser(name, password, user);
    if (found != Result::Ok)
        return found;
    const QString wanted = newPassword.trimmed();
    if (wanted.isEmpty()) {
        messages::show(QStringLiteral("Kérem, adja meg az új jelszót!"));
        return Result::MissingNewPassword;
    }
    if (confirmation.trimmed().isEmpty()) {
        messages::show(QStringLiteral("Kérem, erősitse meg az új jelszót!"));
        return Result::MissingConfirmation;
    }
    if (wanted != confirmation.trimmed()) {
        messages::show(QStringLiteral("Az új és a megerősitett jelszó eltér."));
        return Result::ConfirmationDiffers;
    }
    // By key: an old inactive account of the same name keeps its password.
    db::Query q(connection);
    q.setSql(
        QStringLiteral("UPDATE SZ_JUZER SET JELSZO = :ujjelszo WHERE KOD = :kod AND AKTIV = 'I'"));
    q.bind(QStringLiteral("ujjelszo"), wanted);
    q.bind(QStringLiteral("kod"), user.kod);
    if (!q.exec()) {
        messages::show(q.lastError(), MessageKind::Error);
        return Result::DatabaseError;
    }
    if (q.rowsAffected() != 1) {
        messages::show(wrongNameOrPassword);
        return Result::WrongNameOrPassword;
    }
    messages::show(QStringLiteral("A jelszó sikeresen módositva lett."));
    return Result::Ok;
}

QString Login::lastUserFile()
{
    const QString configured = Ini::instance().value(QStringLiteral("INI_PATH")).trimmed();
    const bool standard =
        configured.isEmpty() || configured.compare(QLatin1String("C:\\"), Qt::CaseInsensitive) == 0;
    return QDir(standard ? paths::programDir() : paths::localPath(configured))
        .filePath(lastUserFileName);
}

QString Login::lastUser()
{
    return lastUserLines().value(0);
}

void Login::storeLastUser(const QString& name)
{
    QStringList lines = lastUserLines();
    if (lines.isEmpty())
        lines << name;
    else
        lines[0] = name;
    QSaveFile file(lastUserFile());
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(toWindows1250(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    file.commit();
}

} // namespace mivo
