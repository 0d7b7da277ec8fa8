#pragma once

#include "platform/fieldtypes.h"
#include "report.h"

#include <QString>

#include <memory>
#include <vector>

namespace mivo::data
{
class RowSource;
}

namespace mivo
{

/// How the dictionary report lays out the fields of a data set in character slots.
struct SzotarLayout {
    std::vector<int> slotWidths; ///< characters of each field's slot
    std::vector<int> lines;      ///< the line of each field: 0 or 1
    QString heading1, heading2;  ///< the field names padded to their slots
    bool landscape = false;
    double fontSize = 10;
    double headingHeight = 20;   ///< 40 with a second line
    double secondLineHeight = 0; ///< 17 with a second line

    /// The two detail lines of a row of value texts.
    std::pair<QString, QString> lineTexts(const QStringList& values) const;
};

/// The layout of the fields: a slot of the larger of name length and display width + 2;
/// a field goes on the first line while that line stays below 210 characters, else on the
/// second. Orientation and font size follow the first line's length; the font shrinks
/// further when the line would not fit the page's width.
SzotarLayout layoutSzotar(const std::vector<data::Column>& columns);

/// The dictionary report: any full list in character slots, with the title, "Készült: ",
/// "Lapszám: ", the configured logo (LOGO_KEP) and "Nyomtatta: " + the user.
class Tqr_szotar
{
public:
    /// The report of the run.
    static Tqr_szotar& instance();

    void setDataSet(data::RowSource* rows) { m_rows = rows; }
    void setTitle(const QString& title) { m_title = title; }

    /// The report over the data set, or null with the reason (the data set cannot be opened).
    std::unique_ptr<report::Report> build(QString* error);

    bool writePdf(const QString& path, QString* error);

private:
    data::RowSource* m_rows = nullptr;
    QString m_title;
};

} // namespace mivo
