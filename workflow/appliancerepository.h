#pragma once

#include "writeresult.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>
#include <optional>

namespace mivo::workflow
{

/// A row as read: column name (upper case) → value; NULL columns are null variants.
using RowValues = std::map<QString, QVariant>;

/// An appliance (KESZULEK row) with its commissioning sheet (BEUZLAP), as completion
/// documentation reads them. `sheet` is empty when the appliance has no sheet.
struct ApplianceRecord {
    bool found = false; ///< the KESZULEK row exists
    int tipus = 0;
    QString gyariszam, beuzemeles;
    RowValues sheet;
};

/// An appliance found by its serial number elsewhere, for the duplicate question.
struct SerialOwner {
    QString aruKod, aruNev, ugyfelNev, ugyfelIrszam, ugyfelVaros, ugyfelUtca;
};

/// The one home of the statements about appliances (KESZULEK) and their commissioning sheets
/// (BEUZLAP) that completion documentation runs. It asks the user nothing. Reads report a
/// failure with the database's text in *error; writes join the caller's open transaction.
class ApplianceRepository
{
public:
    explicit ApplianceRepository(const QString& connectionName = QStringLiteral("d_mivo"));

    /// The appliance and its sheet. Nullopt with the database's text in *error.
    std::optional<ApplianceRecord> load(int keszulek, QString* error) const;
    /// Whether a sheet has the number. Nullopt with the database's text in *error.
    std::optional<bool> sheetExists(const QString& sorszam, QString* error) const;
    /// The first appliance other than `keszulek` with the serial number; nullopt inside the
    /// optional when there is none. Outer nullopt with the database's text in *error.
    std::optional<std::optional<SerialOwner>> serialOwner(const QString& gyariszam, int keszulek,
                                                          QString* error) const;

    /// Inserts a sheet with the values (BEUZLAP column → value; a missing column is NULL).
    WriteResult insertSheet(const RowValues& values) const;
    /// Rewrites the sheet of the number with the values; a sheet no longer there is a
    /// conflict.
    WriteResult updateSheet(const QString& sorszam, const RowValues& values) const;
    /// Serial number and type of the appliance, and its commissioning date unless
    /// `beuzemeles` is nullopt (only a commissioning dates an appliance).
    WriteResult updateAppliance(int keszulek, const QString& gyariszam, int tipus,
                                const std::optional<QString>& beuzemeles) const;
    /// Gives the appliance to another customer.
    WriteResult moveAppliance(int keszulek, int ugyfel) const;

    /// The columns a sheet insert writes, in the statement's order.
    static const QStringList& sheetColumns();
    /// The statements of the writes above, for measuring them bare.
    static QString sheetInsertStatement();
    static QString sheetUpdateStatement();
    static QString applianceUpdateStatement(bool withDate);
    static QString sheetReadStatement();
    static QString applianceReadStatement();
    /// The serial number's other appliance (:gyariszam, :keszulek), and a new owner (:ugyfel,
    /// :kod).
    static QString serialOwnerStatement();
    static QString moveStatement();

private:
    QString m_connection;
};

} // namespace mivo::workflow
