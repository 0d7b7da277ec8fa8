#pragma once

#include "customer.h"
#include "jobstate.h"

#include <QString>

#include <optional>

namespace mivo::workflow
{

/// A job (MUNKA row): one visit, planned or done, to one appliance of one customer.
/// `allapot` keeps the stored state code as read, even one the program gives no meaning to.
struct Job {
    int kod = 0;
    int ugyfel = 0;
    int keszulek = 0;
    int tipus = 0;
    QString felveteld, tervd, tervt, leirast, leirasm, szerelot, tervtev, allapot, telefon, dedu,
        lemondta, juzer, kesz;

    /// The state of `allapot`; nullopt for an empty or unknown code.
    std::optional<JobState> state() const { return stateFromCode(allapot); }
};

/// A job as the grid's actions read it: the job with its customer and the names of its
/// activity and appliance type (empty when gone from the dictionaries).
struct GridJob : Job {
    Customer customer;
    QString tevnev, keszuleknev, keszulekkod;
};

/// A job as a cell of the planning grid shows it.
struct ScheduledJob {
    int kod = 0;
    QString szerelot, tervt, tervtev, lemondta;
    QString irszam, varos, utca; ///< the customer's address
};

} // namespace mivo::workflow
