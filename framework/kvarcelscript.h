#pragma once

#include "kvarcelcatalogue.h"
#include "kvarcelperiod.h"

#include "platform/fieldtypes.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <vector>

namespace mivo::kvarcel
{

/// What generation needs besides the catalogue and the join graph.
struct GeneratorSettings {
    QString dialect = QStringLiteral("I"); ///< "O", "I", "M" or "P" (SQLTYPE)
    QString z9order = QStringLiteral("z9");
    bool keepTables = false; ///< kvarci_kelldrop "N": intermediate tables dropped at the end
    QString irnokmh, irnokalk, irnokwl, teruletek, fonoke, sajatID;
    QString userName;
    QDateTime now; ///< names the temporary objects
    ListOptions options;
    PeriodKeywords keywords;
};

/// A generated script and what the run and the outputs need from it.
struct GeneratedScript {
    /// The script: every statement ends with a line ending in ";". Empty when generation
    /// failed.
    QStringList lines;
    /// The notice of a failed generation ("Nem választott ki semmit...", "HIBA. ...", or the
    /// database's text of a failed probe); empty on success.
    QString failure;
    bool nothingListed = false;
    QString resultTable;
    QStringList restrictedSources; ///< views (tables in dialect "P") to drop after the run
    QStringList deferredDrops;     ///< dialect "P" intermediate tables kept with "N"
    QString conditionsSummary;
    QStringList listedAliases; ///< in Kell order
    QStringList headings;      ///< their FEJLEC
    QStringList listedTypes;   ///< their type codes

    bool ok() const { return !lines.isEmpty(); }
};

/// Turns the choices of the catalogue into the SQL script of a list (b_keszClick): a
/// temporary result table filled with one row per distinct combination, computed columns,
/// row removal, total rows per group level and the final select. Runs nothing itself; the
/// column types come from probes ("select col from table where 1=2") through a callback,
/// cached for the generator's lifetime.
class ScriptGenerator
{
public:
    /// Runs a probing select and gives its result columns; false with the database's text.
    using Probe =
        std::function<bool(const QString& sql, std::vector<data::Column>* columns, QString* error)>;
    /// A probe on a connection through db::Query.
    static Probe probeOn(const QString& connection);

    explicit ScriptGenerator(Probe probe) : m_probe(std::move(probe)) {}

    GeneratedScript generate(const Catalogue& catalogue, const std::vector<JoinRow>& joins,
                             const GeneratorSettings& settings);

    /// The type code of an item (DetectItemType): the catalogue's code in dialect "O" when it
    /// is set, else the probed column's ("C" + length, "C999" from 1000, "NI", "N", "X"); an
    /// item without a column keeps the catalogue's. False with the database's text.
    bool detectItemType(const QString& alias, const QString& column, const QString& catalogueType,
                        const QString& dialect, const std::vector<JoinRow>& joins, QString* type,
                        QString* error);
    /// Forgets the probed types (another database).
    void clearTypeCache() { m_types.clear(); }

    /// The SQL expression of a MUVELET on alias.column (ColumnExpression).
    static QString columnExpression(const QString& muvelet, const QString& alias,
                                    const QString& column, const QString& tolig,
                                    const QString& dialect);
    /// The key columns carried for a table (Kulcskeres), joined by "+".
    static QString kulcskeres(const QString& kulcs, const QString& alias,
                              const Catalogue& catalogue, const std::vector<JoinRow>& joins);
    /// The reference date (ReferenceDate): SZEMDATUM's "=" value, else today; with yearEnd
    /// first the year of SZABEV's "=" value + ".12.31".
    static QString referenceDate(const Catalogue& catalogue, const PeriodKeywords& keywords,
                                 bool yearEnd);
    /// The temporary objects' name part of a user: the first nine characters, accents
    /// folded, anything but letters, digits and "_" as "_".
    static QString userPart(const QString& userName);
    /// The substring function of the dialect over 1-based start and length.
    static QString substr(const QString& dialect, const QString& x, int start, int length);

private:
    Probe m_probe;
    std::map<QString, QString> m_types;
};

/// The SQL column type of a type code in the result table (" varchar(30)", " INTEGER",
/// " FLOAT"); "X" and unknown codes " varchar(50)".
QString resultColumnType(const QString& code);

} // namespace mivo::kvarcel
