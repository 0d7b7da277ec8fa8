#pragma once

#include <QString>

#include <memory>

namespace mivo::report
{
struct Report;
}

namespace mivo::kvarcel
{

class ResultModel;

/// What the list report prints besides the rows.
struct ListReportHeader {
    QString title;    ///< the list title; "Saját összeállítású lista" when empty
    QString summary;  ///< the conditions summary
    QString fileName; ///< the saved parameter file, shown without folder and extension
    QString userName;
    bool totalsOnly = false;   ///< "Csak az összesítő sorok kellenek": totals not highlighted
    bool pagePerGroup = false; ///< "Lapdobás csoportonként"
};

/// The list report of the list builder ("Lista"): one fixed-width text line per result row,
/// total lines (OSSZESEN filled) with " sor" appended, bold on a yellow band; orientation
/// and font size follow the length of the heading line.
class Tqrkvarcel5
{
public:
    /// The report over the model's rows, or null with the reason (no rows: "Nincs mit
    /// nyomtatni.").
    static std::unique_ptr<report::Report> build(const ResultModel& model,
                                                 const ListReportHeader& header, QString* error);
    /// Font size and orientation of a heading line of n characters.
    static double fontSize(int n);
    static bool landscape(int n) { return n > 96; }

    static bool writePdf(const ResultModel& model, const ListReportHeader& header,
                         const QString& path, QString* error);
};

} // namespace mivo::kvarcel
