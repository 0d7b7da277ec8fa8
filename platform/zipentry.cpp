#include "zipentry.h"

#include <QFile>

#include <zip.h>

namespace mivo::data
{

namespace
{

QString zipErrorText(zip_error_t* error)
{
    return QString::fromUtf8(zip_error_strerror(error));
}

} // namespace

bool editZipEntry(const QString& path, const QByteArray& entryName,
                  const std::function<QByteArray(const QByteArray&)>& edit, QString* error)
{
    const auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), 0, &code);
    if (!archive) {
        zip_error_t failure;
        zip_error_init_with_code(&failure, code);
        const QString text = zipErrorText(&failure);
        zip_error_fini(&failure);
        return fail(text);
    }
    // libzip writes the changed archive beside the file and renames it on closing, so a
    // failure before that leaves the file as it was.
    const auto abandon = [archive, &fail](const QString& text) {
        zip_discard(archive);
        return fail(text);
    };
    const zip_int64_t index = zip_name_locate(archive, entryName.constData(), 0);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(archive, zip_uint64_t(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE))
        return abandon(QStringLiteral("A tömörített fájlban nincs ilyen rész: ") +
                       QString::fromUtf8(entryName));
    QByteArray content(qsizetype(stat.size), Qt::Uninitialized);
    zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(index), 0);
    const zip_int64_t read = file ? zip_fread(file, content.data(), stat.size) : -1;
    if (file)
        zip_fclose(file);
    if (read != zip_int64_t(stat.size))
        return abandon(zipErrorText(zip_get_error(archive)));

    // The buffer must live until zip_close has written it.
    const QByteArray edited = edit(content);
    zip_source_t* source =
        zip_source_buffer(archive, edited.constData(), zip_uint64_t(edited.size()), 0);
    if (!source)
        return abandon(zipErrorText(zip_get_error(archive)));
    if (zip_file_replace(archive, zip_uint64_t(index), source, 0) != 0) {
        zip_source_free(source);
        return abandon(zipErrorText(zip_get_error(archive)));
    }
    if (zip_set_file_compression(archive, zip_uint64_t(index), ZIP_CM_STORE, 0) != 0 ||
        zip_close(archive) != 0)
        return abandon(zipErrorText(zip_get_error(archive)));
    return true;
}

} // namespace mivo::data
