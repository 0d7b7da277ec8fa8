#include "fixedtext.h"

#include "platform/rowsource.h"

#include <QSaveFile>

#include <algorithm>

namespace mivo::reports
{

bool writeFixedText(data::RowSource& rows, const QString& path, QString* error)
{
    if (!rows.open(error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const std::vector<data::Column>& columns = rows.columns();
    std::vector<int> widths;
    for (const data::Column& c : columns)
        widths.push_back(std::max<int>(c.displayWidth, int(c.label.size())));
    QString line;
    while (rows.next()) {
        line.clear();
        for (size_t c = 0; c < columns.size(); ++c) {
            const QString text = data::displayText(rows.value(int(c)), columns[c].kind);
            if (data::isTextual(columns[c].kind))
                line += text.leftJustified(widths[c] + 2);
            else
                line += text.rightJustified(widths[c]) + QLatin1String("  ");
        }
        file.write(line.toUtf8() + "\r\n");
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace mivo::reports
