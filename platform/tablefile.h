#pragma once

#include <QString>

namespace mivo::data
{

class RowSource;

/// Table files that other programs read: a dBase III (".DBF") or Paradox (".DB") table with
/// the result's columns and rows. Empty values are stored as 0 in numeric columns and as
/// empty text in all others; text goes in Windows-1250, cut to its field. The file appears
/// under path only when complete. False with the reason in *error.
bool writeDbaseTable(RowSource& rows, const QString& path, QString* error);
bool writeParadoxTable(RowSource& rows, const QString& path, QString* error);

} // namespace mivo::data
