#pragma once

#include <QString>

class TestDb;

/// Rows the schedule tests plan with, written through the test database's connection.
namespace scheduledata
{

/// An own technician ("VELKOR" unless told) who is active unless told.
void addTechnician(TestDb& db, const QString& kod, const QString& nev,
                   const QString& cegkod = QStringLiteral("VELKOR"),
                   const QString& aktiv = QStringLiteral("I"));

/// A customer; its code.
int addCustomer(TestDb& db, const QString& nev, const QString& irszam, const QString& varos,
                const QString& utca);

struct Job {
    int ugyfel = 0;
    QString szerelot;
    QString tervd;
    QString tervt;
    QString allapot = QStringLiteral("KI");
    QString tervtev = QStringLiteral("KAR");
    QString lemondta;
};

/// A job given out to the technician for the day and hour.
Job planned(int ugyfel, const QString& szerelot, const QString& tervd, const QString& tervt);

/// A job on the connection (d_mivo unless told); its code.
int addJob(const Job& job, const QString& connection = QStringLiteral("d_mivo"));

/// An appliance of the customer with its commissioning sheet (numbered after the serial
/// number); its code.
int addAppliance(TestDb& db, int ugyfel, int tipus, const QString& gyariszam,
                 const QString& beuzemeles);

} // namespace scheduledata
