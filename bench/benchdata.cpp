#include "benchdata.h"

#include "core/dat.h"
#include "core/newdatabase.h"
#include "platform/dbconnection.h"
#include "platform/sqltext.h"
#include "schema/schemabuilder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTextStream>

#include <limits>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mivo::bench
{

namespace
{

QString dataDir()
{
    QString dir = qEnvironmentVariable("MIVO_BENCH_DATA");
    if (dir.isEmpty())
        dir = QDir::current().filePath(QStringLiteral("benchdata"));
    QDir().mkpath(dir);
    return dir;
}

// Named after the schema scripts and the generator, so that a change of either makes its
// databases anew.
QString database(const QString& name, int customers, int jobs, int technicians)
{
    const QString path = QDir(dataDir()).filePath(
        name + QLatin1Char('-') + schema::scriptsDigest() + QLatin1Char('-') +
        QStringLiteral(MIVO_DEMO_GENERATOR) + QStringLiteral(".fdb"));
    if (QFileInfo::exists(path))
        return path;
    QTextStream(stderr) << "creating " << path << " ..." << Qt::endl;
    QString error;
    if (!createApplicationDatabase(path + QStringLiteral(".part"), customers, jobs, technicians,
                                   &error) ||
        !QFile::rename(path + QStringLiteral(".part"), path)) {
        QTextStream(stderr) << error << Qt::endl;
        QFile::remove(path + QStringLiteral(".part"));
        return {};
    }
    return path;
}

} // namespace

QString demoDatabase()
{
    return database(QStringLiteral("demo"), 300, 0, 0);
}

QString scaleDatabase()
{
    return database(QStringLiteral("scale"), 100000, 500000, 60);
}

bool openMain(const QString& path)
{
    db::Connection& c = db::Connection::named(QStringLiteral("d_mivo"));
    c.clear();
    c.setParams({QStringLiteral("SERVER NAME=") + path,
                 QStringLiteral("USER NAME=") + Td::builtinUser,
                 QStringLiteral("PASSWORD=") + Td::builtinPassword});
    return c.open();
}

namespace
{

bool noDatabase()
{
    QTextStream(stderr) << "no benchmark database" << Qt::endl;
    return false;
}

} // namespace

bool openScaleDatabase()
{
    const QString path = scaleDatabase();
    return (!path.isEmpty() && openMain(path)) || noDatabase();
}

bool openScaleCopy(const QString& folder)
{
    const QString scale = scaleDatabase();
    const QString copy = QDir(folder).filePath(QStringLiteral("scale.fdb"));
    return (!scale.isEmpty() && QFile::copy(scale, copy) && openMain(copy)) || noDatabase();
}

int readBare(const QString& connection, const QString& statement,
             const std::map<QString, QVariant>& params)
{
    const db::PositionalSql positional = db::toPositional(statement);
    std::map<QString, QVariant> byName;
    for (const auto& [name, value] : params)
        byName[(name.startsWith(QLatin1Char(':')) ? name.mid(1) : name).toLower()] = value;
    QSqlQuery q(QSqlDatabase::database(connection));
    q.setForwardOnly(true);
    const auto failed = [&q] {
        QTextStream(stderr) << "bare: " << q.lastError().text() << Qt::endl;
        return -1;
    };
    if (!q.prepare(positional.sql))
        return failed();
    for (const QString& name : positional.parameters) {
        const auto value = byName.find(name);
        if (value == byName.end()) {
            QTextStream(stderr) << "bare: no value for :" << name << Qt::endl;
            return -1;
        }
        q.addBindValue(value->second);
    }
    if (!q.exec())
        return failed();
    // The driver builds a record with a catalogue query per column: once, as the program's
    // query does.
    const int columns = q.record().count();
    int rows = 0;
    for (; q.next(); ++rows)
        for (int c = 0; c < columns; ++c)
            q.value(c);
    return rows;
}

double fastestMs(int runs, const std::function<void()>& work)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

void report(const QString& name, double value, double baseline, const QString& unit)
{
    QTextStream(stdout) << name << ": " << QString::number(value, 'f', 2) << ' ' << unit
                        << "; baseline: " << QString::number(baseline, 'f', 2) << ' ' << unit
                        << "; ratio: "
                        << QString::number(baseline > 0 ? value / baseline : 0, 'f', 2) << Qt::endl;
}

void reportFastestByTurns(const QString& name, int runs, const std::function<void()>& work,
                          const std::function<void()>& baseline)
{
    double value = std::numeric_limits<double>::max();
    double bare = value;
    for (int i = 0; i < runs; ++i) {
        value = std::min(value, fastestMs(1, work));
        bare = std::min(bare, fastestMs(1, baseline));
    }
    report(name, value, bare);
}

double childPeakMegabytes(const std::function<void()>& work)
{
    const pid_t child = fork();
    if (child == 0) {
        work();
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return usage.ru_maxrss / 1024.0;
}

} // namespace mivo::bench
