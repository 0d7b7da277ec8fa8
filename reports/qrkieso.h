#pragma once

#include "report.h"

#include <QString>

#include <memory>

namespace mivo::reports
{

/// The absence report (Tqr_kieso) of a technician, or "MIND" for all, over the days from..to
/// ("yyyy.mm.dd", both included): absences whose reason counts as lost time (KIESO = 'I'),
/// grouped per technician under his name in bold, each day with its weekday name and reason,
/// "Összes kieső nap:" per technician and "Mind összesen kieső nap:" at the end. Null with
/// the database's text when the rows cannot be read.
std::unique_ptr<report::Report> buildKieso(const QString& technician, const QString& from,
                                           const QString& to, const QString& title, QString* error);

/// Its rows (:datumtol, :datumig and, unless all, :szerelo).
QString kiesoStatement(bool allTechnicians);

} // namespace mivo::reports
