#include "startup.h"

#include "clock.h"
#include "dat.h"
#include "ini.h"
#include "messages.h"
#include "paths.h"
#include "platform/catalogue.h"
#include "platform/codepage.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/sqltext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

const QString mainConnection = QStringLiteral("d_mivo");

// The patch file may come in UTF-8 or in the Windows code page of the other programs.
QString decodeScript(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? fromWindows1250(bytes) : text;
}

QString missingIniText(const QString& folder)
{
    return u"Nem találom a MIVO.INI beállítófájlt ebben a mappában:\n"_s +
           QDir::toNativeSeparators(folder) +
           u"\n\nA program abból a mappából olvassa a MIVO.INI-t, ahonnan indul\n"
           u"(a menüből indítva a saját mappájából). Az elkészítését a README\n"
           u"„Munkaállomás beállítása” része írja le (/usr/share/doc/mivo/README.md)."_s;
}

bool openMetadataCopy()
{
    db::Connection& alap = db::Connection::named(QStringLiteral("d_alap"));
    alap.clear();
    alap.copySettingsFrom(db::Connection::named(mainConnection));
    return alap.open();
}

} // namespace

bool Startup::run()
{
    Ini& ini = Ini::instance();
    Td& td = Td::instance();

    // 1-2
    ini.set(QStringLiteral("SQLTYPE"), QStringLiteral("I"));
    ini.set(QStringLiteral("EXCELSUMFO"), QString());
    // A desktop launch starts in the user's home folder, where nothing may have been set up:
    // without a configuration there is no database to connect to.
    if (!ini.readFile(u"MIVO.INI"_s, true, paths::programDir())) {
        messages::show(missingIniText(paths::programDir()), MessageKind::Error);
        return false;
    }
    const QString dbServer = ini.value(QStringLiteral("DBSERVER"));
    td.ftpServer = ini.value(QStringLiteral("FTP_SERVER"));
    td.ftpUser = ini.value(QStringLiteral("FTP_USER"));
    const bool ftpConfigured = !td.ftpServer.isEmpty() && !td.ftpUser.isEmpty();

    // 3: only a file of this machine can be missing; a server location is the server's business.
    if (!dbServer.isEmpty() && db::isLocalLocation(dbServer) &&
        !QFileInfo::exists(paths::localPath(dbServer)) && ftpConfigured) {
        const QString text =
            QStringLiteral("A megadott adatbázis ") + dbServer + QStringLiteral("nem található.");
        if (!messages::confirm(text + QStringLiteral("\n Letöltsük az FTP tárhelyről?")))
            return false;
        if (!downloadDatabase || !downloadDatabase())
            return false;
    }

    // 4-5
    m_menu.ftp = ftpConfigured;
    const QString sdLocation = ini.contains(QStringLiteral("SD_DBSERVER"))
                                   ? ini.value(QStringLiteral("SD_DBSERVER"))
                                   : ini.value(QStringLiteral("SD_DBALIAS"));
    m_menu.sd = !sdLocation.isEmpty();

    // 6-8
    if (!td.connect(Td::Main, dbServer))
        return false;
    td.dbAlias = ini.value(QStringLiteral("DBALIAS"));
    if (!(openMetadata ? openMetadata() : openMetadataCopy())) {
        messages::show(QStringLiteral("Nem tudok kapcsolódni az adatbázishoz."),
                       MessageKind::Error);
        return false;
    }

    if (QString error; upgradeDatabase && !upgradeDatabase(&error))
        messages::showError(error);

    // 9
    td.lettersAvailable = tableExists(QStringLiteral("LEVELKE"));
    td.partsStockAvailable = tableExists(QStringLiteral("ALK_KESZLET"));
    td.jobHistoryAvailable = tableExists(QStringLiteral("MUNKA_LOG"));

    // 10-12
    runPatchFile();
    td.workPath = paths::localPath(ini.value(QStringLiteral("WORK_PATH")));
    td.ownCompany = ini.value(QStringLiteral("CEGKOD"), velkorCompany);

    // 13
    if (ini.value(QStringLiteral("WPWD")) == QLatin1String("NONE")) {
        td.userName = QStringLiteral("Tarnoc Zivududezidi Kft");
        td.userRights = QStringLiteral("W9");
        td.userCode = QStringLiteral("QVX");
        return true;
    }
    return login && login();
}

bool Startup::tableExists(const QString& table)
{
    return db::tableExists(mainConnection, table);
}

void Startup::runPatchFile()
{
    const QString path = paths::findFileNoCase(paths::programDir(), QStringLiteral("updates.sql"));
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = decodeScript(file.readAll()).split(QLatin1Char('\n'));
    file.close();
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty())
            break;
        db::Query q(mainConnection);
        q.setParamCheck(false);
        q.setSql(line);
        if (!q.exec())
            messages::show(QStringLiteral("UPDATES.SQL : Hibás SQL utasítás:\n") + line,
                           MessageKind::Error);
    }
    const QString stamp = clock::now().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QFile::rename(path, QFileInfo(path).dir().filePath(QStringLiteral("updates_") + stamp +
                                                       QStringLiteral(".sql")));
}

} // namespace mivo
