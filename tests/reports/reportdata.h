#pragma once

#include "support/testdb.h"

#include <QString>
#include <QVariant>

#include <map>

namespace mivo::report
{
class PageModel;
}

/// Fails the running test when a page has what a reader would miss: a text outside the page,
/// texts over each other, or a text wider than its place as the printer's font measures it.
void checkReadable(const mivo::report::PageModel& pages);

/// The office the daily work instruction and job sheet tests print for: two technicians with
/// jobs on 2024.03.04 (a Monday) and 2024.03.05, an appliance type with two parts, and a
/// customer with a commissioned appliance.
struct ReportOffice {
    ReportOffice();

    /// Inserts a row; the generated key when asked for one (0 otherwise).
    int insert(const QString& table, const std::map<QString, QVariant>& values,
               const QString& returning = {});
    /// A job of the technician on the day; LEIRAST, DEDU, TERVT and the rest from values.
    int job(const QString& szerelot, const QString& tervd,
            const std::map<QString, QVariant>& values = {});

    TestDb db;
    int nagy = 0;      ///< customer "Nagy Éva", Vác, with remarks and a commissioned appliance
    int kiss = 0;      ///< customer "Kiss Péter", Budapest
    int genus = 0;     ///< appliance type "Ariston Genus 24" (ARU.BELSOKOD)
    int szelep = 0;    ///< part "SZ100" "Szelep"
    int gumi = 0;      ///< part "GUMI" named "GUMI"
    int kazan = 0;     ///< Nagy Éva's appliance with a commissioning sheet
    int masik = 0;     ///< Nagy Éva's second appliance, without one
    int morning = 0;   ///< Arany Béla, 2024.03.04 "De": parts 2 × SZ100 and 1 × GUMI
    int afternoon = 0; ///< Arany Béla, 2024.03.04 "Du": cancelled, phone first, ready,
                       ///< activity and appliance type without dictionary rows
    int tuesday = 0;   ///< Arany Béla, 2024.03.05
    int bodo = 0;      ///< Bodó Ede (code "B2"), 2024.03.04
};
