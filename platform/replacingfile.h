#pragma once

#include <QString>

#include <memory>

class QTemporaryFile;

namespace mivo::data
{

/// A file written under a temporary name in its target's folder and moved over the target
/// only when commit() succeeds, so that a failed save leaves the previous file as it was.
/// For writers that open files by name (libraries); the temporary file goes with the object
/// unless committed.
class ReplacingFile
{
public:
    explicit ReplacingFile(const QString& target);
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    /// Reserves the temporary file. False with the reason in *error (missing or unwritable
    /// folder).
    bool prepare(QString* error);
    /// Where the writer writes; empty before prepare().
    QString tempPath() const;
    QString target() const { return m_target; }
    /// Moves the written file over the target. False with the reason (the target is a folder,
    /// ...); the target is then untouched.
    bool commit(QString* error);

private:
    QString m_target;
    std::unique_ptr<QTemporaryFile> m_temp;
};

} // namespace mivo::data
