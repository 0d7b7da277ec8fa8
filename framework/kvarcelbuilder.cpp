#include "kvarcelbuilder.h"

#include "kvarcelcondition.h"
#include "kvarcelparams.h"
#include "qrkvarcel5.h"
#include "statementrights.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "platform/catalogue.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/tablefile.h"
#include "platform/workbookwriter.h"
#include "reports/fixedtext.h"
#include "reports/report.h"
#include "reports/sqlscript.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

const QString noData = u"Nincs még adat."_s;
const QString nothing = u"Nincs mit..."_s;

QString iniValue(const char* key, const QString& fallback = {})
{
    return Ini::instance().value(QString::fromLatin1(key), fallback).trimmed();
}

} // namespace

BuilderConfig BuilderConfig::read()
{
    Ini& ini = Ini::instance();
    if (!ini.contains(u"KVARCIJOGOK"_s))
        ini.set(u"KVARCIJOGOK"_s, u" "_s);
    BuilderConfig c;
    c.kvarcijogok = iniValue("KVARCIJOGOK");
    c.kvarcitrc = iniValue("KVARCITRC");
    c.kvarciPath = iniValue("KVARCI_PATH");
    c.kvarciHalado = iniValue("KVARCIHALADO");
    c.z9order = iniValue("Z9ORDER", u"z9"_s);
    if (c.z9order.size() < 2)
        c.z9order = u"z9"_s;
    c.kelldrop = iniValue("kvarci_kelldrop");
    c.gepnev = iniValue("GEPNEV");
    c.irnokmh = iniValue("irnokmh");
    c.irnokalk = iniValue("irnokalk");
    c.irnokwl = iniValue("irnokwl");
    c.teruletek = iniValue("teruletek");
    c.fonoke = iniValue("fonoke");
    c.sajatID = iniValue("sajatID");
    c.sqltype = iniValue("SQLTYPE");
    c.excelsumfo = ini.value(u"EXCELSUMFO"_s, u"fö"_s).trimmed();
    c.dbserver = iniValue("DBSERVER");
    c.dbusername = iniValue("DBUSERNAME");
    c.dbpassword = iniValue("DBPASSWORD");
    return c;
}

QString BuilderConfig::dialect() const
{
    return sqltype.isEmpty() ? u"O"_s : sqltype.left(1).toUpper();
}

bool BuilderConfig::advancedOffered() const
{
    return kvarciHalado.isEmpty() || kvarciHalado.startsWith(QLatin1Char('I'), Qt::CaseInsensitive);
}

bool BuilderConfig::keepTables() const
{
    return kelldrop.startsWith(QLatin1Char('N'), Qt::CaseInsensitive);
}

Builder::Builder(const QString& mainConnection)
    : m_main(mainConnection), m_generator(ScriptGenerator::probeOn(connection())),
      m_objects(connection())
{
}

Builder::~Builder()
{
    if (db::Connection::named(connection()).isOpen()) {
        m_objects.drop();
        m_objects.dropDeferred();
    }
}

bool Builder::connect(QString* error)
{
    db::Connection& own = db::Connection::named(connection());
    own.copySettingsFrom(db::Connection::named(m_main));
    if (!own.open()) {
        if (error)
            *error = own.lastError();
        return false;
    }
    return true;
}

bool Builder::start(const QString& userName, const QString& jogok)
{
    m_user = userName.trimmed();
    m_jogok = jogok.trimmed();
    m_config = BuilderConfig::read();
    m_objects.setKeepTables(m_config.keepTables());
    m_rightsMode = QLatin1Char('*');
    const bool lettersChanged = !m_started || m_config.kvarcijogok != m_letters;
    if (!(m_loadedScript && !lettersChanged)) {
        m_log.clear();
        m_resultLabel.clear();
        if (hasListed() && m_config.kvarcijogok != u"W"_s)
            statementText.clear();
        m_objects.drop();
    }
    bool ok = true;
    if (lettersChanged) {
        ok = readCatalogue();
        m_letters = m_config.kvarcijogok;
    }
    if (!m_started && m_config.historyOn()) {
        const QString folder = m_config.kvarcitrc.isEmpty() ? paths::programDir()
                                                            : paths::localPath(m_config.kvarcitrc);
        QString error;
        if (!m_history.start(folder, m_user, m_config.gepnev, powerUser(), &error))
            messages::showError(error);
    }
    m_started = true;
    if (!advancedAllowed())
        advancedShown = false;
    return ok;
}

bool Builder::readCatalogue()
{
    QString error;
    if (!m_catalogue.read(connection(), &error)) {
        messages::showError(error);
        return false;
    }
    m_catalogue.applyRights(m_config.kvarcijogok);
    m_keywords.setPeriod(m_catalogue.sysfileExists(), m_catalogue.period());
    m_variables = {};
    m_options.kilepettekShown = m_catalogue.kilepettekShown();
    m_options.beridoShown = m_catalogue.beridoShown();
    return true;
}

bool Builder::reread()
{
    return readCatalogue();
}

bool Builder::hasListed() const
{
    return std::any_of(m_catalogue.items().begin(), m_catalogue.items().end(),
                       [](const ListItem& i) { return !i.kell.isEmpty(); });
}

QStringList Builder::headings() const
{
    std::vector<const ListItem*> listed;
    for (const ListItem& i : m_catalogue.items())
        if (!i.kell.isEmpty())
            listed.push_back(&i);
    std::stable_sort(listed.begin(), listed.end(),
                     [](const ListItem* a, const ListItem* b) { return a->kell < b->kell; });
    QStringList out;
    for (const ListItem* i : listed)
        out << i->fejlec;
    return out;
}

GeneratorSettings Builder::settings() const
{
    GeneratorSettings s;
    s.dialect = dialect();
    s.z9order = m_config.z9order;
    s.keepTables = m_config.keepTables();
    s.irnokmh = m_config.irnokmh;
    s.irnokalk = m_config.irnokalk;
    s.irnokwl = m_config.irnokwl;
    s.teruletek = m_config.teruletek;
    s.fonoke = m_config.fonoke;
    s.sajatID = m_config.sajatID;
    s.userName = m_user;
    s.now = clock::now();
    s.options = m_options;
    s.keywords = m_keywords;
    return s;
}

QString Builder::itemType(const ListItem& item)
{
    std::vector<JoinRow> joins;
    if (m_catalogue.tjoinsExists())
        readJoins(connection(), &joins, nullptr);
    QString type;
    if (!m_generator.detectItemType(item.tabla, item.mezo, item.tipus, dialect(), joins, &type,
                                    nullptr))
        return item.tipus;
    return type;
}

bool Builder::valueList(const ListItem& item, const QString& typed, QStringList* values)
{
    *values = valueListKeywords(item, alt::today());
    if (item.mezo.isEmpty())
        return true;
    QString table = item.tabla;
    if (m_catalogue.tjoinsExists()) {
        std::vector<JoinRow> joins;
        if (!readJoins(connection(), &joins, nullptr))
            return false;
        for (const JoinRow& r : joins)
            if (r.alias.compare(item.tabla, Qt::CaseInsensitive) == 0)
                table = r.tabla;
    }
    db::Query q(connection());
    q.setParamCheck(false);
    q.setSql(valueListSql(item.mezo, table, typed, isTextType(itemType(item))));
    if (!q.exec())
        return false;
    while (q.next())
        *values << alt::variantText(q.value(0));
    return true;
}

Generation Builder::generate(bool fromButton)
{
    statementText.clear();
    m_log.clear();
    m_scriptPending = false;
    m_loadedScript = false;
    std::vector<JoinRow> joins;
    QString error;
    if (m_catalogue.tjoinsExists() && !readJoins(connection(), &joins, &error)) {
        messages::showError(error);
        return Generation::Failed;
    }
    m_script = m_generator.generate(m_catalogue, joins, settings());
    if (!m_script.ok()) {
        messages::show(m_script.failure);
        return m_script.nothingListed ? Generation::NothingListed : Generation::Failed;
    }
    statementText = m_script.lines.join(QLatin1Char('\n'));
    m_scriptPending = true;
    if (fromButton)
        messages::show(u"SQL-script elkészült."_s, MessageKind::Dialog);
    return Generation::Script;
}

RunOutcome::Status Builder::run(const std::function<void(int, int)>& progress,
                                const std::function<void(const QString&)>& shown)
{
    if (m_rightsMode == QLatin1Char('*'))
        m_rightsMode = !powerUser() && db::tableExists(connection(), u"TABLAK"_s)
                           ? QLatin1Char('I')
                           : QLatin1Char('N');
    if ((statementText.trimmed().isEmpty() || !advancedShown) && !m_loadedScript) {
        if (generate(false) == Generation::NothingListed)
            return RunOutcome::Status::Empty;
    }
    if (statementText.trimmed().isEmpty())
        return RunOutcome::Status::Empty;
    const QStringList lines = statementText.split(QLatin1Char('\n'));
    // The objects of a generated script are the run's to drop; a typed script has none.
    if (m_scriptPending) {
        m_objects.set(m_script.resultTable, m_script.restrictedSources, dialect() == u"P"_s);
        m_objects.defer(m_script.deferredDrops);
        m_scriptPending = false;
    }
    const bool history = m_config.historyOn() && m_history.active();
    if (history) {
        QString error;
        if (!m_history.beginRun(lines, &error))
            messages::showError(error);
    }
    const std::vector<ScriptStatement> statements =
        ScriptReader(m_variables, m_keywords).read(lines);
    StatementRights rights(connection(), m_jogok);
    ScriptRunner runner(connection());
    if (m_rightsMode == QLatin1Char('I'))
        runner.setRights(&rights);
    runner.setHistory(history ? &m_history : nullptr);
    runner.setTemporaryObjects(&m_objects);
    runner.setProgress(progress);
    if (powerUser())
        runner.setStatementShown(shown);
    RunOutcome outcome = runner.run(statements);
    m_history.endRun();
    m_log = outcome.log;
    m_resultLabel = outcome.resultText;
    if (outcome.status == RunOutcome::Status::Done || outcome.result)
        m_result.setResult(std::move(outcome.result), headings(), dialect() == u"P"_s);
    if (!outcome.message.isEmpty())
        messages::show(outcome.message, outcome.status == RunOutcome::Status::Failed
                                            ? MessageKind::Error
                                            : MessageKind::Warning);
    return outcome.status;
}

void Builder::newQuery()
{
    m_catalogue.clearChoices();
    title.clear();
    statementText.clear();
    m_log.clear();
    m_resultLabel.clear();
    m_loadedScript = false;
    m_scriptPending = false;
    m_result.clear();
}

QString Builder::startFolder() const
{
    if (!m_lastFolder.isEmpty())
        return m_lastFolder;
    if (!m_config.kvarciPath.isEmpty())
        return paths::localPath(m_config.kvarciPath);
    return paths::programDir();
}

bool Builder::save(const QString& path)
{
    if (statementText.trimmed().isEmpty() && generate(false) == Generation::NothingListed)
        return false;
    const QStringList comments = parameterComments(
        m_catalogue, m_options, title, [this](const ListItem& item) { return itemType(item); });
    QString error;
    if (!writeTextFile(path,
                       kvarcel::parameterFile(comments, statementText.split(QLatin1Char('\n'))),
                       &error)) {
        messages::showError(error);
        return false;
    }
    m_parameterFile = path;
    m_lastFolder = QFileInfo(path).absolutePath();
    return true;
}

bool Builder::load(const QString& path)
{
    QString text, error;
    if (!readTextFile(path, &text, &error)) {
        messages::showError(error);
        return false;
    }
    std::function<QString(const QString&, const QString&)> translate;
    if (m_catalogue.konvExists())
        translate = [this](const QString& alias, const QString& version) {
            db::Query q(connection());
            q.setSql(u"select ALIAS from KVARCELUJKONV\n"
                     "where REGALIAS=:regalias and (VERZIO=:verzio or VERZIO is null)"_s);
            q.bind(u"regalias"_s, alias);
            q.bind(u"verzio"_s, version);
            return q.exec() && q.first() ? q.text(u"ALIAS"_s) : QString();
        };
    const LoadedParameters loaded = loadParameters(text, m_catalogue, m_options, translate);
    title = loaded.title;
    m_scriptPending = false;
    // A file with listed items is generated afresh; a hand-written script runs as loaded.
    m_loadedScript = loaded.listedItems == 0;
    statementText = m_loadedScript ? text : QString();
    m_parameterFile = path;
    m_lastFolder = QFileInfo(path).absolutePath();
    return true;
}

bool Builder::ensureResult(bool forList)
{
    if (!m_result.hasResult()) {
        messages::show(forList ? noData : nothing);
        return false;
    }
    return true;
}

std::unique_ptr<report::Report> Builder::listReport()
{
    if (!ensureResult(true))
        return nullptr;
    ListReportHeader header;
    header.title = title;
    header.summary = m_script.conditionsSummary;
    header.fileName = m_parameterFile;
    header.userName = m_user;
    header.totalsOnly = m_options.csakOsszesen;
    header.pagePerGroup = m_options.lapdob;
    QString error;
    auto r = Tqrkvarcel5::build(m_result, header, &error);
    if (!r)
        messages::show(error);
    return r;
}

bool Builder::writeTable(const QString& chosen)
{
    if (!ensureResult(false))
        return false;
    QString path = chosen;
    QString extension = QFileInfo(path).suffix().toUpper();
    if (extension.isEmpty()) {
        path += u".DBF"_s;
        extension = u"DBF"_s;
    }
    ResultRows rows(m_result, QFileInfo(path).completeBaseName());
    QString error;
    bool ok = false;
    if (extension == u"DBF"_s) {
        // The other programs' dBase tables know these capitals without accents.
        rows.setTextFilter([](QString text) {
            return text.replace(u"Á"_s, u"A"_s).replace(u"Ú"_s, u"U"_s).replace(u"Ó"_s, u"O"_s);
        });
        ok = data::writeDbaseTable(rows, path, &error);
    } else if (extension == u"TXT"_s) {
        ok = reports::writeFixedText(rows, path, &error);
    } else {
        ok = data::writeParadoxTable(rows, path, &error);
    }
    if (!ok)
        messages::showError(error);
    return ok;
}

QString Builder::writeWorkbook()
{
    if (!ensureResult(false))
        return {};
    const QString folder =
        m_config.kvarciPath.isEmpty() ? paths::programDir() : paths::localPath(m_config.kvarciPath);
    const QString path =
        QDir(folder).filePath(alt::stampedFileName(u"lista"_s, u"KVARCEL_"_s) + u".xlsx"_s);
    ResultRows rows(m_result, u"Lista"_s);
    if (m_result.totalColumn() >= 0)
        rows.setLabel(m_result.totalColumn(), m_config.excelsumfo);
    data::SheetRows sheet{&rows, u"Lista"_s, {}};
    sheet.titleRows << (title.isEmpty() ? u"Saját összeállítású lista"_s : title)
                    << m_script.conditionsSummary
                    << clock::now().toString(u"yyyy.MM.dd hh:mm:ss"_s);
    const data::WorkbookResult written = data::writeWorkbook({sheet}, path);
    if (!written.written) {
        messages::show(u"Excel may not be installed"_s, MessageKind::Error);
        return {};
    }
    return path;
}

bool Builder::writeInserts(const QString& fileName)
{
    if (!ensureResult(false))
        return false;
    if (fileName.trimmed().isEmpty()) {
        messages::show(u"File name = ?"_s);
        return false;
    }
    QString path = fileName.trimmed();
    if (QFileInfo(path).suffix().isEmpty())
        path += u".SQL"_s;
    if (QFileInfo(path).isRelative())
        path = QDir(startFolder()).filePath(path);
    if (QFileInfo::exists(path) && !messages::confirm(u"Létezö File felülírhatjuk ? ("_s +
                                                      QFileInfo(path).absoluteFilePath() + u")"_s))
        return false;
    ResultRows rows(m_result, QFileInfo(path).completeBaseName());
    const QString table =
        reports::scriptTableName(statementText, QFileInfo(path).completeBaseName());
    QString error;
    if (!reports::writeSqlScript(rows, path, table, &error)) {
        messages::showError(error);
        return false;
    }
    messages::show(path + u" elkészült."_s, MessageKind::Dialog);
    return true;
}

void Builder::addTemplate(const QString& kind, const QString& table, bool newStatement)
{
    QStringList lines;
    if (kind == u"Select"_s)
        lines << u"Select *"_s << u"From "_s + table << u"Where "_s << u"Order By 1"_s << u";"_s;
    else if (kind == u"Insert"_s)
        lines << u"Insert Into "_s + table << u" "_s << u";"_s;
    else if (kind == u"Delete"_s)
        lines << u"Delete From "_s + table << u"Where "_s << u";"_s;
    else if (kind == u"Update"_s)
        lines << u"Update "_s + table << u"Set ="_s << u"Where "_s << u";"_s;
    if (newStatement || statementText.isEmpty())
        statementText = lines.join(QLatin1Char('\n'));
    else
        statementText += u"\n"_s + lines.join(QLatin1Char('\n'));
    m_loadedScript = false;
    m_scriptPending = false;
}

void Builder::clearHistory()
{
    if (!m_history.active() || m_history.runs().isEmpty()) {
        messages::show(u"Nincs törlendö utasitas."_s);
        return;
    }
    if (!messages::confirm(u"Valóban törölni akarod a régi utasításokat-t ?"_s))
        return;
    QString error;
    if (!m_history.clear(&error))
        messages::showError(error);
}

bool Builder::switchDatabase(const QString& server, const QString& user, const QString& password)
{
    const QString name = connection();
    db::Connection& own = db::Connection::named(name);
    const auto restore = [&] {
        messages::show(u"Az adatbázis nem érhetö el. Visszaállok az eredeti adatbazisra."_s);
        own.close();
        if (QSqlDatabase::contains(name) &&
            QSqlDatabase::database(name, false).driverName() != u"QIBASE"_s)
            QSqlDatabase::removeDatabase(name);
        own.copySettingsFrom(db::Connection::named(m_main));
        own.open();
        return false;
    };
    m_result.clear();
    m_objects.drop();
    const QString where = server.trimmed();
    if (where.isEmpty() || where.compare(u"SZERVIZ"_s, Qt::CaseInsensitive) == 0)
        return restore();
    // A path or "host:path" is a Firebird database; any other name an ODBC data source.
    const bool firebird = where.contains(QLatin1Char('/')) || where.contains(QLatin1Char('\\')) ||
                          where.contains(QLatin1Char(':')) ||
                          where.endsWith(u".fdb"_s, Qt::CaseInsensitive) ||
                          where.endsWith(u".gdb"_s, Qt::CaseInsensitive);
    if (firebird) {
        own.clear();
        own.setDriverName(db::InterBaseDriver);
        own.setParams(
            {u"SERVER NAME="_s + where, u"USER NAME="_s + user, u"PASSWORD="_s + password});
        if (!own.open())
            return restore();
    } else {
        if (!QSqlDatabase::isDriverAvailable(u"QODBC"_s))
            return restore();
        own.close();
        QSqlDatabase::removeDatabase(name);
        QSqlDatabase odbc = QSqlDatabase::addDatabase(u"QODBC"_s, name);
        odbc.setDatabaseName(where);
        odbc.setUserName(user);
        odbc.setPassword(password);
        if (!odbc.open()) {
            odbc = QSqlDatabase();
            return restore();
        }
    }
    m_generator.clearTypeCache();
    return readCatalogue();
}

} // namespace mivo::kvarcel
