#include "fixedtext.h"

#include "platform/rowsource.h"

#include <QSaveFile>

#include <algorithm>

namespace mivo::reports
{

namespace
{

QString slot(const QString& text, bool textual, int width)
{
    return textual ? text.leftJustified(width + 2)
                   : text.rightJustified(width) + QLatin1String("  ");
}

} // namespace

std::vector<int> fixedWidths(const std::vector<data::Column>& columns)
{
    std::vector<int> widths;
    for (const data::Column& c : columns)
        widths.push_back(std::max<int>(c.displayWidth, int(c.label.size())));
    return widths;
}

QString fixedLine(const std::vector<data::Column>& columns, const std::vector<int>& widths,
                  const std::function<QVariant(int)>& value)
{
    QString line;
    for (size_t c = 0; c < columns.size(); ++c)
        line += slot(data::displayText(value(int(c)), columns[c].kind),
                     data::isTextual(columns[c].kind), widths[c]);
    return line;
}

QString fixedHeading(const std::vector<data::Column>& columns, const std::vector<int>& widths)
{
    QString line;
    for (size_t c = 0; c < columns.size(); ++c)
        line += slot(columns[c].label, data::isTextual(columns[c].kind), widths[c]);
    return line;
}

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
    const std::vector<int> widths = fixedWidths(columns);
    while (rows.next())
        file.write(fixedLine(columns, widths, [&rows](int c) { return rows.value(c); }).toUtf8() +
                   "\r\n");
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace mivo::reports
