#pragma once

#include "customer.h"
#include "writeresult.h"

#include <QString>

namespace mivo::workflow
{

/// The one home of the statements that write customers (UGYFEL) for the entry screens. It
/// asks the user nothing; each write commits at once.
class CustomerRepository
{
public:
    /// On the business connection d_mivo.
    CustomerRepository();
    explicit CustomerRepository(const QString& connectionName);

    /// Stores a customer whose screen fields differ from what was loaded: updates a known
    /// customer (onScreen.kod), inserts a new one (kod 0) and puts the number its own insert
    /// received into onScreen.kod. An unchanged known customer is not written. Conflict when the
    /// known customer is no longer there (another workstation deleted it); Failed with the
    /// database's text when the database refuses.
    WriteResult save(Customer& onScreen, const Customer& loaded) const;

    /// Inserts a new appliance of the type for the customer, with an empty serial number, and
    /// puts its code into *kod.
    WriteResult insertAppliance(int ugyfel, int tipus, int* kod) const;

    /// The inserts of save() and insertAppliance(), "RETURNING KOD", for measuring them bare.
    static QString insertStatement();
    static QString applianceInsertStatement();

private:
    QString m_connection;
};

} // namespace mivo::workflow
