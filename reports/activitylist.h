#pragma once

#include <QString>
#include <QVariant>

#include <map>
#include <optional>

namespace mivo::reports
{

/// The conditions of the period activity list as the screen holds them.
struct ActivityConditions {
    enum class Kind { Assigned, Completed };         ///< "Kiosztott", "Elvégzett"
    enum class Order { Date, Activity, Technician }; ///< "Dátum", "Tevékenység", "Szerelőkód"

    QString technician;    ///< SZERELO.KOD; empty: any
    QString from, to;      ///< "yyyy.mm.dd" or a short form alt::validateDate accepts
    int applianceType = 0; ///< ARU.BELSOKOD; 0: any
    QString activity;      ///< TEVEKENYS.KOD; empty: any
    int customer = 0;      ///< UGYFEL.KOD; 0: any
    Kind kind = Kind::Completed;
    Order primary = Order::Activity;
    Order secondary = Order::Date;
};

/// The list's statement with its bound values.
struct ActivityQuery {
    QString sql;
    std::map<QString, QVariant> params;
};

/// Builds the list's statement. Both dates must be valid ("Hibás dátum." + line break + the
/// text in *message, *failingEnd 0 = from, 1 = to) and the to-date not earlier than the
/// from-date ("Rossz intervallum.", *failingEnd 1); nullopt then. Dates are compared in the
/// "yyyy.mm.dd" form whatever form they were typed in. Every condition value is bound.
std::optional<ActivityQuery> buildActivityQuery(const ActivityConditions& c, QString* message,
                                                int* failingEnd = nullptr);

} // namespace mivo::reports
