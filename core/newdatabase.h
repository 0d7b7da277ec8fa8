#pragma once

#include <QString>

#include <functional>

namespace mivo
{

/// Creates an embedded application database at the path with the whole schema and, when
/// asked, demo data (customers = 0: none; otherwise the demo size, jobs = 0 for two weeks
/// around today). False with the reason when the file exists or cannot be made.
bool createApplicationDatabase(const QString& path, int demoCustomers, int demoJobs,
                               int demoTechnicians, QString* error,
                               const std::function<void(int, int)>& progress = {});

} // namespace mivo
