#pragma once

#include <QDate>
#include <QString>

#include <functional>

namespace mivo::schema
{

/// Size of a generated demo database.
struct DemoScale {
    int customers = 300;
    int ownTechnicians = 8; ///< active own technicians (two inactive ones come on top)
    int jobs = 0;           ///< 0: two weeks of jobs around the given day
};

/// Fills a freshly built database with realistic Hungarian demo data: the own company
/// "VELKOR" and its technicians, two contractor companies, customers in Budapest and other
/// towns, appliance types, parts and services, appliances (most with a commissioning sheet),
/// jobs in every state around the day (a third with parts; the technicians' reservations
/// are what their given-out jobs hold), absences and users. Deterministic for a given scale and
/// day. Progress goes to the callback (done, total) when one is given.
bool fillDemoData(const QString& connectionName, const DemoScale& scale, const QDate& today,
                  QString* error, const std::function<void(int, int)>& progress = {});

} // namespace mivo::schema
