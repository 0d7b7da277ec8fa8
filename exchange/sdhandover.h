#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace mivo::exchange
{

/// Rows of a batch: commissioning sheets ("ÜZ" jobs), warranty coupon rows ("GJ" jobs'
/// parts) and warranty maintenance visits ("KAR" jobs).
struct SdBatchCounts {
    int sheets = 0, coupons = 0, maintenance = 0;
    bool empty() const { return sheets == 0 && coupons == 0 && maintenance == 0; }
};

/// Hands finished jobs over to the SD service program as three Paradox tables per batch,
/// with the structure of the SD program's own tables. A new batch takes the next number,
/// marks its jobs (MUNKA.KULD) and is logged in EXPORTLOG; an earlier batch can be written
/// again from its number without touching either.
class SdHandover
{
public:
    explicit SdHandover(const QString& target = QStringLiteral("d_mivo"),
                        const QString& source = QStringLiteral("d_sd"));

    /// Counts the rows of batch kuld (0: jobs not handed over yet). False on a database
    /// failure (error()).
    bool count(int kuld, SdBatchCounts* counts);

    /// Writes a new batch of the jobs not handed over yet into workPath/KULD/yyyy_mm_dd/,
    /// through the handover connection d_kuld opened on that folder before any job is marked
    /// (a failure to open it is shown by the connection routine: errorShown()).
    /// Numbering, marking and logging are one unit of work: two workstations never give one
    /// number twice nor one job to two batches, and a failed write marks nothing. False with
    /// the reason in error(); "Nincs mit küldeni." when there is nothing to hand over.
    bool writeNew(const QString& workPath, const QString& serviceCentre);

    /// Writes batch number again into workPath/KULD/date/ (date "yyyy_mm_dd" as logged, or
    /// empty when unknown: folder KULD, names without a date).
    bool writeAgain(int number, const QString& date, const QString& workPath,
                    const QString& serviceCentre);

    QString error() const { return m_error; }
    /// Whether the failure was already shown to the user (the handover folder's connection
    /// reports its own failure).
    bool errorShown() const { return m_errorShown; }
    int batch() const { return m_batch; }
    const SdBatchCounts& counts() const { return m_counts; }
    /// Full paths of the tables written by the last run.
    const QStringList& files() const { return m_files; }

    /// The folder of a batch date ("yyyy_mm_dd" or empty) under the working folder.
    static QString folder(const QString& workPath, const QString& date);

    /// Called with a table's full path as it is created: 0 sheets, 1 coupons, 2 maintenance.
    std::function<void(int table, const QString& path)> onTable;
    /// Called after every job or coupon row of a table: table, rows done, rows in all.
    std::function<void(int table, int done, int total)> onProgress;

private:
    /// Creates the batch folder and opens the handover connection d_kuld on it; its failure
    /// message is shown by the connection routine.
    bool openFolder(const QString& workPath, const QString& date);
    void progress(int table, int done, int total);
    bool write(int kuld, const QString& date, const QString& workPath, const QString& serviceCentre,
               SdBatchCounts* counts, QString* error);
    /// Whether batch kuld has a job to hand over; "Nincs mit küldeni." in error() when not.
    bool anything(int kuld, bool* found);

    QString m_target, m_source;
    QString m_error;
    bool m_errorShown = false;
    int m_batch = 0;
    SdBatchCounts m_counts;
    QStringList m_files;
};

} // namespace mivo::exchange
