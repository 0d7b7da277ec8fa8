#pragma once

#include <QString>

#include <functional>

namespace mivo::workflow
{

/// How a recount of the reserved stock ended.
struct RecountResult {
    int total = 0;
    int good = 0;
    int faulty = 0;
    /// The database's text when the recount stopped on a failure; empty otherwise.
    QString error;
};

/// Recounts what each stock row (ALK_KESZLET) should hold reserved: the parts recorded for
/// the place's technician's given-out jobs. The rows and the sums come from one snapshot;
/// a correction adds the difference, so a reservation made meanwhile is kept.
class StockRecount
{
public:
    /// Reports a row before it is checked: rows done, all rows, and the row's label.
    using Progress = std::function<void(int done, int total, const QString& label)>;
    using Log = std::function<void(const QString& line)>;

    explicit StockRecount(const QString& connectionName = QStringLiteral("d_mivo"));

    /// Checks every row and logs it (only the faulty ones when onlyDifferences); with correct
    /// a faulty row gets the difference written. Stops at the first database failure; rows
    /// corrected by then stay corrected.
    RecountResult run(bool correct, bool onlyDifferences, const Progress& progress,
                      const Log& log) const;

    /// The stock rows and the expected sums, for measuring them bare.
    static QString stockStatement();
    static QString sumsStatement();

private:
    QString m_connection;
};

} // namespace mivo::workflow
