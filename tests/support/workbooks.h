#pragma once

#include <QFile>
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

/// Writes the bytes to path (files that are no workbook, cut workbooks); false on failure.
inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
