#pragma once

#include "customer.h"
#include "writeresult.h"

#include "framework/torzsmodel.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace mivo::workflow
{

/// One order of the appliance list: the caption of "Sorrend:", the view's field and the
/// rows it is read from (the view's columns).
struct ApplianceOrder {
    QString caption;
    QString field;
    QString source;
};

/// The orders of the appliance list; the first is the one it opens in.
const std::vector<ApplianceOrder>& applianceOrders();

/// The appliance list's statement in an order (an index of applianceOrders()) as lines: the
/// select and the ORDER BY line.
QStringList applianceListLines(int order = 0);
/// The eight grid columns of the appliance list (field, title).
QList<TorzsGridColumn> applianceColumns();

/// What the edit area says about an appliance: its owner, type, serial number and
/// commissioning date ("yyyy.mm.dd" or empty).
struct ApplianceValues {
    int ugyfel = 0;
    int tipus = 0;
    QString gyariszam;
    QString beuzemeles;
    bool operator==(const ApplianceValues&) const = default;
};

/// The commissioning date as stored: empty stays empty, a valid "yyyymmdd" or "yyyy.mm.dd"
/// becomes "yyyy.mm.dd"; nullopt for anything else (a month alone dates no commissioning).
std::optional<QString> storedCommissioningDate(const QString& typed);

/// The writes of the appliance owner change ("Készülékek"). It asks the user nothing; every
/// write is its own unit of work, rerun in a fresh transaction when another workstation's
/// change of the same rows meets it (the last write wins).
class OwnerChange
{
public:
    explicit OwnerChange(const QString& connectionName = QStringLiteral("d_mivo"));

    /// The customer's nine fields and code; an empty customer (code 0) when there is none.
    /// Nullopt with the database's text in *error.
    std::optional<Customer> customer(int kod, QString* error) const;

    /// Gives the appliance its values; its commissioning sheet follows it to the owner. Both
    /// rows change together or neither does.
    WriteResult update(int kod, const ApplianceValues& values) const;
    /// Adds an appliance with the values and puts its code into *kod.
    WriteResult insert(const ApplianceValues& values, int* kod) const;
    /// Marks the appliance deleted (ALLAPOT 'T'); nothing is removed.
    WriteResult markDeleted(int kod) const;
    /// Stores the owner's fields when they differ from the remembered ones.
    WriteResult saveCustomer(Customer& onScreen, const Customer& remembered) const;

    /// The two updates of update(), in their order, for measuring them bare.
    static QString sheetOwnerStatement();
    static QString applianceUpdateStatement();
    static QString customerStatement();

private:
    QString m_connection;
};

} // namespace mivo::workflow
