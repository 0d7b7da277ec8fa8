#pragma once

#include <QString>
#include <QVariant>

#include <functional>
#include <map>

namespace mivo::bench
{

/// Path of the demo database of the benchmarks, made on first use.
QString demoDatabase();
/// Path of the benchmark-scale database (100 000 customers, 500 000 jobs, 60 technicians),
/// made on first use (about a minute).
QString scaleDatabase();

/// Opens d_mivo on the database (embedded).
bool openMain(const QString& path);

/// Opens d_mivo on the benchmark-scale database; false after saying so on stderr.
bool openScaleDatabase();

/// Opens d_mivo on a copy of the benchmark-scale database made in the folder, for the
/// benchmarks that change data; false after saying so on stderr.
bool openScaleCopy(const QString& folder);

/// Runs the statement bare through the driver on the connection and reads every value of
/// every row: the baseline of the program's own queries. Named parameters are bound by name
/// (case and a leading ':' ignored), as the program's query layer binds them. The rows read;
/// -1 after saying why on stderr.
int readBare(const QString& connection, const QString& statement,
             const std::map<QString, QVariant>& params = {});

/// Milliseconds of the fastest of `runs` calls of the work.
double fastestMs(int runs, const std::function<void()>& work);

/// Prints "NAME: VALUE UNIT; baseline: VALUE UNIT; ratio: R".
void report(const QString& name, double value, double baseline,
            const QString& unit = QStringLiteral("ms"));

/// Runs the work and its baseline by turns, `runs` times each, and reports the fastest of
/// each: for figures of a few milliseconds, which a change of the machine's load between two
/// series would otherwise decide.
void reportFastestByTurns(const QString& name, int runs, const std::function<void()>& work,
                          const std::function<void()>& baseline);

/// Peak resident memory in MB of the work run alone in a child process (-1 when the child
/// failed).
double childPeakMegabytes(const std::function<void()>& work);

} // namespace mivo::bench
