#pragma once

#include <QString>

#include <functional>

namespace mivo
{

/// What the start-up sequence decided about the main menu.
struct StartupMenu {
    bool ftp = false; ///< "Adatok fogadása (FTP-ről)", "Adatok küldése (FTP-re)"
    bool sd = false;  ///< the two SD items
};

/// The start-up sequence run when the main window is first shown: configuration, the
/// database download offer, the connections, feature switches, the one-shot patch file and
/// the login. The screens it needs come in as callbacks so that it runs headless in tests.
class Startup
{
public:
    /// Opens the FTP screen in download mode; false ends the program.
    std::function<bool()> downloadDatabase;
    /// Runs the login dialog; false (no success) ends the program.
    std::function<bool()> login;
    /// Opens the metadata connection d_alap as a copy of the business connection and lets
    /// the metadata framework learn the server; false when it cannot. Without it d_alap is
    /// only opened.
    std::function<bool()> openMetadata;
    /// Brings a database made by an older program up to what this one needs; its failure is
    /// shown and start-up goes on.
    std::function<bool(QString* error)> upgradeDatabase;

    /// Runs the sequence; false when the program must end.
    bool run();

    const StartupMenu& menu() const { return m_menu; }

    /// Whether the table exists in the business database.
    static bool tableExists(const QString& table);

    /// Runs "updates.sql" of the program folder if there is one (any case), line by line up
    /// to the first empty line, and renames it to "updates_yyyymmdd_hhnnss.sql".
    static void runPatchFile();

private:
    StartupMenu m_menu;
};

} // namespace mivo
