#pragma once

#include <QString>

namespace mivo::data
{
class RowSource;
}

namespace mivo::reports
{

/// The table an SQL script of a result inserts into: the first word after "FROM " of the
/// statement (up to a blank, comma or semicolon; after a line that is "FROM" alone, the
/// first word of the next line), else the fallback.
QString scriptTableName(const QString& sqlText, const QString& fallback);

/// Writes one "Insert Into table (columns) Values (values);" per row, leaving out the null
/// columns of the row (a row of nulls only lists them all as NULL). Texts are quoted with
/// apostrophes doubled and comment marks removed; integers exact, floats in their shortest exact
/// form, dates as quoted ISO dates; lines stay below 1023 characters where the values allow. UTF-8,
/// CRLF. False with the reason.
bool writeSqlScript(data::RowSource& rows, const QString& path, const QString& table,
                    QString* error);

} // namespace mivo::reports
