#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace mivo::kvarcel
{

/// The statement history of the list builder: a text file (Windows-1250, CRLF) that holds
/// every run's script lines prefixed by the six-digit run number and, after each executed
/// statement, a "/* . " line with its result text and time.
class History
{
public:
    /// "KVARCI_" + user + "_" + machine + ".TXT", with ":", "/" and "\" as "_".
    static QString fileName(const QString& user, const QString& machine);

    /// Starts the history in the folder: with continueNumbers (power users) an existing file
    /// is kept and the run numbers go on from its highest, otherwise it is started afresh
    /// with the line user, machine and the time. False with the reason.
    bool start(const QString& folder, const QString& user, const QString& machine,
               bool continueNumbers, QString* error);
    bool active() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    /// The number of the current (last) run; 0 before the first.
    int runNumber() const { return m_run; }

    /// Opens the file for appending, counts a new run and writes the script lines that do
    /// not begin with "/* . ". False with the reason.
    bool beginRun(const QStringList& scriptLines, QString* error);
    /// The line after an executed statement: its result text ("HIBA" for a failure).
    void result(const QString& text);
    /// Closes the file (after every run, whatever happened).
    void endRun();

    /// The run numbers in the file, ascending.
    QList<int> runs() const;
    /// The script lines of a run, without their prefix.
    QStringList runLines(int run) const;
    /// Empties the file to its first line.
    bool clear(QString* error);

    /// The six-digit form of a run number.
    static QString number(int run);

private:
    bool writeHeader(QString* error);
    void write(const QString& line);

    QString m_path;
    QString m_user;
    QString m_machine;
    int m_run = 0;
    QFile m_file;
};

} // namespace mivo::kvarcel
