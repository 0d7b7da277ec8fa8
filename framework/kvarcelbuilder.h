#pragma once

#include "kvarcelcatalogue.h"
#include "kvarcelhistory.h"
#include "kvarcelperiod.h"
#include "kvarcelresult.h"
#include "kvarcelrunner.h"
#include "kvarcelscript.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace mivo::report
{
struct Report;
}

namespace mivo::kvarcel
{

/// The configuration keys the list builder reads at every showing.
struct BuilderConfig {
    QString kvarcijogok;
    QString kvarcitrc;
    QString kvarciPath;
    QString kvarciHalado;
    QString z9order = QStringLiteral("z9");
    QString kelldrop;
    QString gepnev;
    QString irnokmh, irnokalk, irnokwl, teruletek, fonoke, sajatID;
    QString sqltype;
    QString excelsumfo;
    QString dbserver, dbusername, dbpassword;

    /// Reads the keys; KVARCIJOGOK is put in as a blank when missing.
    static BuilderConfig read();
    /// The dialect letter: SQLTYPE's first character upper-cased, "O" when empty.
    QString dialect() const;
    /// Whether the configuration offers the advanced mode to power users.
    bool advancedOffered() const;
    /// kvarci_kelldrop "N": temporary tables live until the screen's end.
    bool keepTables() const;
    bool historyOn() const { return !kvarcitrc.startsWith(QLatin1Char('-')); }
};

/// What generation gave (b_keszClick).
enum class Generation { Script, NothingListed, Failed };

/// The custom list builder without its widgets: the catalogue and the user's choices, the
/// statement window's text, generation, the run with its rights check and history, the
/// result, parameter files, the outputs and the database switch. Works on its own
/// connection "D_KVARCEL"; notices go through messages.
class Builder
{
public:
    explicit Builder(const QString& mainConnection = QStringLiteral("d_mivo"));
    /// Drops the tables whose drop was deferred (DropDeferredTables).
    ~Builder();
    Builder(const Builder&) = delete;
    Builder& operator=(const Builder&) = delete;

    QString connection() const { return QString::fromLatin1(connectionName); }
    /// Takes over the main connection's settings and opens the builder's. False with the
    /// database's text.
    bool connect(QString* error);

    /// The start of every showing for the logged-in user: configuration read, the last
    /// run's temporary objects dropped, the catalogue read when the permission letters
    /// changed (always the first time), the history started the first time. False when the
    /// catalogue could not be read (told to the user).
    bool start(const QString& userName, const QString& jogok);

    Catalogue& catalogue() { return m_catalogue; }
    ListOptions& options() { return m_options; }
    QString title;
    /// The statement window.
    QString statementText;
    /// Whether the advanced view is shown ("haladóknak").
    bool advancedShown = false;

    const BuilderConfig& config() const { return m_config; }
    bool powerUser() const { return m_jogok.contains(QLatin1Char('9')); }
    /// The advanced mode is offered: power user and the configuration allows it.
    bool advancedAllowed() const { return powerUser() && m_config.advancedOffered(); }
    QString dialect() const { return m_config.dialect(); }
    /// "*" until the first run after a showing, then "I" (statements checked) or "N".
    QChar rightsMode() const { return m_rightsMode; }

    /// The type code of an item (probed; the catalogue's when the probe fails).
    QString itemType(const ListItem& item);
    /// The distinct values of an item's column for the value list, keywords first; false
    /// when the statement failed (the list closes silently).
    bool valueList(const ListItem& item, const QString& typed, QStringList* values);

    /// b_keszClick: the script of the choices into the statement window; the button itself
    /// (fromButton) says "SQL-script elkészült.".
    Generation generate(bool fromButton);
    /// sb_gosqlClick: generates when needed, checks, runs and fills the result.
    RunOutcome::Status run(const std::function<void(int, int)>& progress = {},
                           const std::function<void(const QString&)>& shown = {});
    /// "Új lekérdezés": every choice, the title, the statement window and the result cleared.
    void newQuery();

    QStringList log() const { return m_log; }
    QString resultLabel() const { return m_resultLabel; }
    ResultModel& result() { return m_result; }
    /// The conditions summary of the last generation.
    QString conditionsSummary() const { return m_script.conditionsSummary; }
    /// The listed items' headings in Kell order.
    QStringList headings() const;

    History& history() { return m_history; }
    ScriptVariables& variables() { return m_variables; }
    const PeriodKeywords& keywords() const { return m_keywords; }
    TemporaryObjects& temporaryObjects() { return m_objects; }

    /// Where the save and open dialogs start: the last folder used, else KVARCI_PATH, else
    /// the program folder.
    QString startFolder() const;
    /// Saves the parameter file ("Mentés"), generating first when the window is empty.
    bool save(const QString& path);
    /// Opens a parameter file ("Megnyitás").
    bool load(const QString& path);
    /// The last parameter file saved or opened.
    QString parameterFile() const { return m_parameterFile; }

    // Outputs; each tells the user what went wrong.
    /// "Lista": the list report, or null ("Nincs még adat.", "Nincs mit nyomtatni.").
    std::unique_ptr<report::Report> listReport();
    /// "adattáblába": the result as a dBase, text or Paradox table by the name's extension.
    bool writeTable(const QString& path);
    /// "excelbe": the workbook in KVARCI_PATH (else the program folder); its path, empty
    /// when nothing was written.
    QString writeWorkbook();
    /// "S&qllbe": the rows as INSERT statements into the named file.
    bool writeInserts(const QString& fileName);

    /// The statement templates of "Tábla :" ("Select", "Insert", "Delete", "Update").
    void addTemplate(const QString& kind, const QString& table, bool newStatement);
    /// "Töröl": empties the history after asking.
    void clearHistory();
    /// "újraolvas": reads the catalogue again.
    bool reread();
    /// "Adatbázis váltás": reconnects to a Firebird location or an ODBC data source; the
    /// main connection's settings come back when it fails.
    bool switchDatabase(const QString& server, const QString& user, const QString& password);

private:
    bool readCatalogue();
    bool hasListed() const;
    GeneratorSettings settings() const;
    bool ensureResult(bool forList);

    QString m_main;
    Catalogue m_catalogue;
    ListOptions m_options;
    BuilderConfig m_config;
    QString m_user;
    QString m_jogok;
    QString m_letters;
    bool m_started = false;
    QChar m_rightsMode = QLatin1Char('*');
    PeriodKeywords m_keywords;
    ScriptVariables m_variables;
    ScriptGenerator m_generator;
    GeneratedScript m_script;
    bool m_scriptPending = false;
    bool m_loadedScript = false;
    History m_history;
    TemporaryObjects m_objects;
    ResultModel m_result;
    QStringList m_log;
    QString m_resultLabel;
    QString m_parameterFile;
    QString m_lastFolder;
};

} // namespace mivo::kvarcel
