#pragma once

#include <QString>

namespace mivo
{

/// A text file as the text editor holds it: the text with "\n" line ends, and how the file
/// stores it, so that a save writes it back the same way.
struct TextFile {
    QString text;
    bool utf8 = true;  ///< UTF-8 when the bytes are valid UTF-8, else Windows-1250
    bool crlf = false; ///< the file ends its lines with CR LF

    /// Reads the file; a missing file gives an empty UTF-8 text. False with the system's
    /// message when an existing file cannot be read.
    bool read(const QString& path, QString* error);
    /// Writes the text through a temporary file that replaces the target only when complete:
    /// on failure (missing folder, a folder as target, ...) the old file stays as it was and
    /// the system's message comes back in *error.
    bool write(const QString& path, QString* error) const;
};

} // namespace mivo
