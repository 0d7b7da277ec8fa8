#include "replacingfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mivo::data
{

ReplacingFile::ReplacingFile(const QString& target) : m_target(target) {}

ReplacingFile::~ReplacingFile() = default;

bool ReplacingFile::prepare(QString* error)
{
    const QFileInfo info(m_target);
    const QDir folder = info.absoluteDir();
    if (!folder.exists()) {
        if (error)
            *error =
                QStringLiteral("A mappa nem létezik: ") + QDir::toNativeSeparators(folder.path());
        return false;
    }
    // The suffix stays, for libraries that judge the format by it.
    auto temp = std::make_unique<QTemporaryFile>(folder.filePath(
        QStringLiteral(".~") + info.completeBaseName() + QStringLiteral("-XXXXXX") +
        (info.suffix().isEmpty() ? QString() : QStringLiteral(".") + info.suffix())));
    if (!temp->open()) {
        if (error)
            *error = temp->errorString();
        return false;
    }
    temp->close();
    m_temp = std::move(temp);
    return true;
}

QString ReplacingFile::tempPath() const
{
    return m_temp ? m_temp->fileName() : QString();
}

bool ReplacingFile::commit(QString* error)
{
    if (!m_temp) {
        if (error)
            *error = QStringLiteral("Nincs megírt fájl.");
        return false;
    }
    if (QFileInfo(m_target).isDir()) {
        if (error)
            *error =
                QStringLiteral("Ilyen nevű mappa létezik: ") + QDir::toNativeSeparators(m_target);
        return false;
    }
    // A new file gets the usual permissions rather than the private ones of a temporary file.
    const QFileInfo old(m_target);
    m_temp->setPermissions(old.exists() ? old.permissions()
                                        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                              QFile::ReadOther);
    // rename() replaces the target in one step; QFile::rename refuses an existing target.
    if (std::rename(QFile::encodeName(m_temp->fileName()).constData(),
                    QFile::encodeName(m_target).constData()) != 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    m_temp->setAutoRemove(false);
    m_temp.reset();
    return true;
}

} // namespace mivo::data
