#pragma once

#include <QString>

namespace mivo::paths
{

/// The program's own folder: "MIVO.INI", "updates.sql" and the program's other files live
/// here. It is the working directory the program was started in unless set otherwise.
QString programDir();
void setProgramDir(const QString& dir);

/// A path of this machine for a configured value. Windows-style values are accepted:
/// backslashes become slashes and a drive letter ("C:") is dropped; a relative value is
/// taken from the program's folder. An empty value stays empty.
QString localPath(const QString& value);

/// The file in the folder whose name equals the given one regardless of case; empty when
/// there is none.
QString findFileNoCase(const QString& dir, const QString& fileName);

} // namespace mivo::paths
