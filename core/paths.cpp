#include "paths.h"

#include <QDir>
#include <QFileInfo>

namespace mivo::paths
{

namespace
{
QString& programDirValue()
{
    static QString dir;
    return dir;
}
} // namespace

QString programDir()
{
    if (programDirValue().isEmpty())
        programDirValue() = QDir::currentPath();
    return programDirValue();
}

void setProgramDir(const QString& dir)
{
    programDirValue() = QDir(dir).absolutePath();
}

QString localPath(const QString& value)
{
    QString path = value.trimmed();
    if (path.isEmpty())
        return path;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.size() >= 2 && path[1] == QLatin1Char(':') && path[0].isLetter())
        path.remove(0, 2);
    if (QDir::isRelativePath(path))
        path = QDir(programDir()).filePath(path);
    return path;
}

QString findFileNoCase(const QString& dir, const QString& fileName)
{
    const QDir folder(dir);
    const QStringList entries = folder.entryList(QDir::Files);
    for (const QString& entry : entries)
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    return {};
}

} // namespace mivo::paths
