#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <map>

namespace mivo::db
{
class Query;
}

namespace mivo::exchange
{

/// What one run of the SD import does. The texts are the SD database's own (dates in its
/// date text, compared as text).
struct SdImportOptions {
    bool technicians = false;
    bool applianceTypes = true;
    bool parts = true;
    bool sheets = true;
    bool clear = false;     ///< empty the target tables first and insert every source row
    QString from;           ///< first commissioning date; empty: no lower bound
    QString to;             ///< last commissioning date; empty: no upper bound
    QString serviceCentre;  ///< SD service-centre code of the sheets
    QString technicianList; ///< "A,B," own technicians; empty: built from SZERELO
    QString ownCompany;     ///< own company code (CEGKOD)
    QString user;           ///< stamped into MUNKA.JUZER
};

/// Counters of a run, shown on the screen.
struct SdImportCounts {
    int technicians = 0, technicianNew = 0;
    int applianceTypes = 0, applianceTypeNew = 0;
    int parts = 0, partNew = 0;
    int sheets = 0, applianceNew = 0;
};

/// A postal address split into its three parts.
struct SdAddress {
    QString postalCode, city, street;
};

/// Copies technicians, articles and commissioning sheets (with their warranty visits and
/// coupons) from the SD service program's database into the application's. Sheets are
/// written whole, a few thousand per transaction: a run stopped by a failure keeps every
/// sheet before the failing one, with its customer, appliance and jobs, and nothing of it.
class SdImport
{
public:
    explicit SdImport(const QString& target = QStringLiteral("d_mivo"),
                      const QString& source = QStringLiteral("d_sd"),
                      const QString& merchant = QStringLiteral("d_merka"));

    /// Runs the import. False at the first database failure, with its text in error().
    bool run(const SdImportOptions& options);

    QString error() const { return m_error; }
    const QStringList& log() const { return m_log; }
    const SdImportCounts& counts() const { return m_counts; }
    /// The list of own technicians the last run used ("A,B,").
    QString technicianList() const { return m_technicians; }

    /// Called with every log line as it is written.
    std::function<void(const QString&)> onLog;
    /// Called after every source row: section (0 technicians, 1 types, 2 parts, 3 sheets),
    /// rows done, rows in the section.
    std::function<void(int, int, int)> onProgress;

    /// Splits "1234 City, Street" into postal code, city and street (each at most 40
    /// characters); text not starting with a digit 1-9 has no postal code.
    static SdAddress splitAddress(const QString& text);

    /// An SD value as the application keeps it: a DATE as "yyyy.mm.dd", a TIMESTAMP as
    /// "yyyy.mm.dd hh:nn:ss", anything else as trimmed text.
    static QString sdText(const db::Query& q, const QString& field);

private:
    bool buildTechnicianList(const SdImportOptions& options);
    bool clearTargets(const SdImportOptions& options);
    /// Reads no row but every SD table and column the ticked sections read.
    bool probeSource(const SdImportOptions& options);
    bool tableExists(const QString& table, bool* exists);
    bool importTechnicians(const SdImportOptions& options);
    bool importArticles(const SdImportOptions& options, bool types);
    bool importSheets(const SdImportOptions& options);
    /// The conditions after "From BEUZLAP" that select the sheets of the run, with values.
    bool sheetFilter(const SdImportOptions& options, QStringList* lines,
                     std::map<QString, QVariant>* values);
    bool enrich(const QString& code);
    bool exec(const QString& sql, const std::map<QString, QVariant>& params = {});
    /// Runs q; false with the database's text in m_error.
    bool ran(db::Query& q);
    /// First column of the first row of a select on the target (null when none).
    bool lookup(const QString& sql, const std::map<QString, QVariant>& params, QVariant* value);
    QVariant insertKey(const QString& sql, const std::map<QString, QVariant>& params);
    void write(const QString& line);
    void progress(int section, int done, int total);

    QString m_target, m_source, m_merchant;
    QString m_error;
    QStringList m_log;
    SdImportCounts m_counts;
    QString m_technicians;
};

} // namespace mivo::exchange
