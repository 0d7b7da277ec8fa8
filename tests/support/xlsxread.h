#pragma once

#include <QDebug>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

/// A workbook as openpyxl reads it (an independent reader): {"sheets": [{"name", "rows":
/// [[{"t": type, "v": value}]], "widths", "maxColumn"}], "contentTypes"}.
inline QJsonObject readWorkbook(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(MIVO_XLSXDUMP), path});
    p.waitForFinished(120000);
    const QByteArray out = p.readAllStandardOutput();
    if (p.exitCode() != 0)
        qWarning() << p.readAllStandardError();
    return QJsonDocument::fromJson(out).object();
}

/// The rows of a sheet (0 = first).
inline QJsonArray sheetRows(const QJsonObject& book, int sheet)
{
    return book[QStringLiteral("sheets")]
        .toArray()[sheet]
        .toObject()[QStringLiteral("rows")]
        .toArray();
}

/// One cell, rows and columns from 0.
inline QJsonObject sheetCell(const QJsonObject& book, int sheet, int row, int column)
{
    return sheetRows(book, sheet)[row].toArray()[column].toObject();
}
