#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

/// Runs tests/support/workbooks.py with the arguments (Debian's python3, whose openpyxl and
/// xlwt import); false when it failed.
inline bool makeWorkbook(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("/usr/bin/python3"),
                  QStringList{QStringLiteral(MIVO_WORKBOOKS_PY)} + arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning("%s", process.readAllStandardError().constData());
        return false;
    }
    return true;
}

/// A sheet of rows written to path (.xlsx by openpyxl, .xls by xlwt).
inline bool makeRowsWorkbook(const QString& path, const QJsonArray& rows)
{
    return makeWorkbook({QStringLiteral("rows"), path,
                         QString::fromUtf8(QJsonDocument(rows).toJson(QJsonDocument::Compact))});
}
