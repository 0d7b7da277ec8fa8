#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

namespace mivo::data
{

/// Replaces one entry of a zip file by the edited text of it, stored
/// uncompressed; every other entry is copied as it is. False with the reason in *error; the
/// file is then unchanged.
bool editZipEntry(const QString& path, const QByteArray& entryName,
                  const std::function<QByteArray(const QByteArray&)>& edit, QString* error);

} // namespace mivo::data
