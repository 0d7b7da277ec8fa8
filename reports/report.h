#pragma once

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace mivo::report
{

// A banded report. Lengths are report units of 1/96 inch (an A4 page is 794 × 1123);
// positions inside a band are relative to the band's top left corner at the left margin.

/// Values the engine fills in while it prints.
enum class SystemField { PageNumber, PageCount, Date, Time, DateTime };

struct TextStyle {
    double pointSize = 10;
    bool bold = false;
    bool fixedPitch = false; ///< a monospaced font, for character-slot layouts
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QColor background; ///< invalid: none
    /// The text breaks into lines at word boundaries to fit its width (see wrapText); the
    /// element grows downwards, and with it its band and what lies under it in the band.
    bool wordWrap = false;
};

/// A left- and top-aligned text style: the form the sheet-like reports print their fields in.
TextStyle topText(double pointSize, bool bold, bool wordWrap);

/// A text, a system field (its text is the prefix), a picture, or a frame (a rectangle's
/// outline; one of height 0 is a horizontal line) at a place in its band.
struct Element {
    enum class Kind { Text, System, Image, Frame };
    Kind kind = Kind::Text;
    QRectF rect;
    QString text;
    SystemField field = SystemField::PageNumber;
    QImage image;
    TextStyle style;

    static Element label(const QRectF& rect, const QString& text, const TextStyle& style = {});
    static Element system(const QRectF& rect, SystemField field, const QString& prefix = {},
                          const TextStyle& style = {});
    static Element picture(const QRectF& rect, const QImage& image);
    static Element frame(const QRectF& rect);
};

/// A horizontal strip of the page. beforePrint runs each time the band is about to print
/// (fill the current record's texts there); a height of 0 leaves the band out that time.
/// Children print right after their band (a second line, a spacing strip).
struct Band {
    double height = 0;
    std::vector<Element> elements;
    std::function<void(Band&)> beforePrint;
    std::vector<Band> children;
    /// The next band of the body starts a new page (beforePrint may set it per record).
    bool pageBreakAfter = false;
};

/// Rows grouped by a key: the header prints before the first row of each group, the footer
/// after its last. The rows are read forward, so when a footer prints the next group's first
/// row is already current: a footer shows what the header or the rows kept for it. Groups
/// nest, outermost first. With newPage every group after the first begins on a new page
/// (its page header already sees the group's first row).
struct Group {
    std::function<QString()> key;
    Band header;
    Band footer;
    bool newPage = false;
};

/// Rows of a second data set printed under each detail row: start() prepares them for the
/// current master row, next() moves on (false at the end).
struct SubDetail {
    std::function<void()> start;
    std::function<bool()> next;
    Band band;
};

struct PageSetup {
    QPageSize::PageSizeId size = QPageSize::A4;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    double margin = 38; ///< on every side (about 10 mm)

    /// The page in report units, orientation applied.
    QSizeF sizeInUnits() const;
    QPageLayout pageLayout() const;
};

/// The bands of a report over a data set. next() moves to the next record (false past the
/// last); rewind() goes back before the first, which the engine calls before every run (a
/// preview draws more than once, a page count needs a counting run). The first record is
/// read before the first page begins, so every page header sees the record its page starts
/// with; when there is none, the report is one page holding its page header, title, column
/// header, summary and page footer.
struct Report {
    PageSetup page;
    QDateTime printedAt; ///< what the date and time fields show

    std::optional<Band> pageHeader;
    std::optional<Band> title;        ///< once, on the first page under the page header
    std::optional<Band> columnHeader; ///< on every page above the rows
    std::vector<Group> groups;
    std::optional<Band> detail;
    std::vector<SubDetail> subDetails;
    std::optional<Band> summary;    ///< once, after the last row
    std::optional<Band> pageFooter; ///< at the bottom of every page

    std::function<bool()> next;
    std::function<void()> rewind;
};

/// Where the engine puts the pages: a painter, or a record of what landed where.
class PageSink
{
public:
    virtual ~PageSink() = default;
    virtual void beginPage(int number) = 0;
    virtual void text(const QRectF& rect, const QString& text, const TextStyle& style) = 0;
    virtual void image(const QRectF& rect, const QImage& image) = 0;
    virtual void frame(const QRectF& rect) = 0;
    virtual void endPage() = 0;
};

/// Lays the report out page by page into the sink; each page costs the same however long
/// the report is. Returns the number of pages.
int run(Report& report, PageSink& sink);

} // namespace mivo::report
