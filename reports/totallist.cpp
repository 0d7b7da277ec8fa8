#include "totallist.h"

#include "exportfile.h"

#include "core/altproc.h"
#include "platform/dbquery.h"
#include "platform/replacingfile.h"
#include "platform/xlsxbook.h"

#include <algorithm>
#include <array>
#include <vector>

namespace mivo::reports
{

using namespace Qt::StringLiterals;

namespace
{

const QString commissioning = u"ÜZ"_s;
const QString leftOut = u"LM"_s;

// Columns of rowsStatement().
enum RowColumn {
    Name,
    PostalCode,
    Town,
    Street,
    TypeName,
    Appliance,
    Telephone,
    Email,
    PlannedActivity,
    DoneActivity,
    PlannedDate,
    DoneDate
};

// Workbook columns A-G in the order of their headings.
constexpr std::array<int, 7> customerColumns{Name,      PostalCode, Town,    Street,
                                             Telephone, Email,      TypeName};

int validYear(const QString& date)
{
    const QDate d = alt::parseDate(date);
    return d.isValid() ? d.year() : 0;
}

// One appliance's row while its jobs come in.
class ApplianceRow
{
public:
    explicit ApplianceRow(int yearColumns) : m_years(size_t(yearColumns)) {}

    void start(const db::Query& q)
    {
        for (size_t c = 0; c < customerColumns.size(); ++c)
            m_texts[c] = q.value(customerColumns[c]).toString();
        m_commissionedDone.clear();
        m_commissionedPlanned.clear();
        for (QString& cell : m_years)
            cell.clear();
    }

    // A row without a job (the appliance has none) adds nothing.
    void addJob(const db::Query& q, int firstYear)
    {
        const QString plannedActivity = q.value(PlannedActivity).toString();
        const QString doneActivity = q.value(DoneActivity).toString();
        const QString planned = q.value(PlannedDate).toString();
        const QString done = q.value(DoneDate).toString();
        if (plannedActivity == commissioning || doneActivity == commissioning) {
            // The earliest valid completion date, else the earliest valid planned one.
            if (validYear(done) && (m_commissionedDone.isEmpty() || done < m_commissionedDone))
                m_commissionedDone = done;
            if (validYear(planned) &&
                (m_commissionedPlanned.isEmpty() || planned < m_commissionedPlanned))
                m_commissionedPlanned = planned;
            return;
        }
        if (doneActivity == leftOut)
            return;
        // An invalid completion date counts as none.
        int year = validYear(done);
        QString date = done, activity = doneActivity;
        if (!year) {
            year = validYear(planned);
            date = planned;
            activity = plannedActivity;
        }
        if (!year)
            return;
        // Years outside the columns go to the nearest one (before 1993 counts as 1993).
        const int column = std::clamp(year - firstYear, 0, int(m_years.size()) - 1);
        m_years[size_t(column)] += date + u' ' + activity + u", "_s;
    }

    void write(data::XlsxBook& book, int row,
               std::array<qsizetype, TotalList::fixedColumns>& widths)
    {
        for (size_t c = 0; c < m_texts.size(); ++c)
            writeFitted(book, row, int(c), m_texts[c], widths);
        writeFitted(book, row, int(m_texts.size()),
                    m_commissionedDone.isEmpty() ? m_commissionedPlanned : m_commissionedDone,
                    widths);
        for (size_t y = 0; y < m_years.size(); ++y)
            if (!m_years[y].isEmpty())
                book.writeWrappedText(row, TotalList::fixedColumns + int(y), m_years[y]);
    }

    static void writeFitted(data::XlsxBook& book, int row, int column, const QString& text,
                            std::array<qsizetype, TotalList::fixedColumns>& widths)
    {
        widths[size_t(column)] = std::max(widths[size_t(column)], text.size());
        if (!text.isEmpty())
            book.writeText(row, column, text);
    }

private:
    std::array<QString, customerColumns.size()> m_texts;
    QString m_commissionedDone;
    QString m_commissionedPlanned;
    std::vector<QString> m_years;
};

} // namespace

QString TotalListResult::message() const
{
    return QString::number(appliances) + u" db tétel lementve."_s;
}

TotalList::TotalList(const QString& connectionName) : m_connection(connectionName) {}

QString TotalList::datesStatement()
{
    // Deleted jobs belong to no list; a missing activity is no commissioning one.
    return u"SELECT D FROM ("
           "SELECT TERVD D FROM MUNKA WHERE ALLAPOT IS DISTINCT FROM 'TOR' "
           "AND COALESCE(TERVTEV, '') NOT IN ('ÜZ', 'LM') "
           "UNION ALL "
           "SELECT MUNKAD FROM MUNKA WHERE ALLAPOT IS DISTINCT FROM 'TOR' "
           "AND COALESCE(MUNKATEV, '') NOT IN ('ÜZ', 'LM')) "
           "WHERE D > '' GROUP BY D ORDER BY D"_s;
}

QString TotalList::countStatement()
{
    return u"SELECT COUNT(*) FROM VW_KESZULEK VW, UGYFEL WHERE VW.UGYFELKOD = UGYFEL.KOD"_s;
}

QString TotalList::rowsStatement()
{
    // One pass instead of two statements per appliance; the appliance and job codes make
    // the order of equal names and dates fixed.
    return u"SELECT VW.UGYFELNEV, VW.UGYFELIRSZAM, VW.UGYFELVAROS, VW.UGYFELUTCA, VW.ARUNEV, "
           "VW.KOD, UGYFEL.TELEFON, UGYFEL.EMAIL, "
           "MUNKA.TERVTEV, MUNKA.MUNKATEV, MUNKA.TERVD, MUNKA.MUNKAD "
           "FROM VW_KESZULEK VW JOIN UGYFEL ON VW.UGYFELKOD = UGYFEL.KOD "
           "LEFT JOIN MUNKA ON MUNKA.KESZULEK = VW.KOD AND MUNKA.ALLAPOT IS DISTINCT FROM 'TOR' "
           "ORDER BY VW.UGYFELNEV, VW.KOD, MUNKA.MUNKAD, MUNKA.TERVD, MUNKA.KOD"_s;
}

int TotalList::firstYear(QString* error) const
{
    db::Query dates(m_connection);
    dates.setSql(datesStatement());
    if (!dates.execForward()) {
        *error = dates.lastError();
        return 0;
    }
    const int thisYear = alt::today().left(4).toInt();
    while (dates.next()) {
        if (const int year = validYear(dates.value(0).toString())) {
            dates.close();
            return std::clamp(year, firstColumnYear, std::max(firstColumnYear, thisYear));
        }
    }
    return std::max(firstColumnYear, thisYear);
}

TotalListResult TotalList::write(const QString& path, const data::Progress& progress) const
{
    TotalListResult result;
    if (path.trimmed().isEmpty()) {
        result.error = u"Adjon meg egy érvényes fájlnevet"_s;
        return result;
    }
    const int first = firstYear(&result.error);
    if (!first)
        return result;
    const int last = std::max(first, alt::today().left(4).toInt());
    qint64 total = -1;
    if (progress) {
        const QVariant count = db::scalar(m_connection, countStatement(), {}, &result.error);
        if (count.isNull())
            return result;
        total = count.toLongLong();
    }

    data::ReplacingFile file(path);
    if (!file.prepare(&result.error))
        return result;
    data::XlsxBook book(file.tempPath(), exportExtension(path) == u".XLSM"_s);
    book.addSheet(u"Munka1"_s);
    static const QStringList headings{u"Ügyfél név"_s,   u"irszám"_s,          u"település"_s,
                                      u"utca,házszám"_s, u"telefon"_s,         u"email"_s,
                                      u"készülék"_s,     u"Beüzemelés kelte"_s};
    std::array<qsizetype, fixedColumns> widths{};
    for (int c = 0; c < fixedColumns; ++c)
        ApplianceRow::writeFitted(book, 0, c, headings[c], widths);
    const int yearColumns = last - first + 1;
    for (int y = 0; y < yearColumns; ++y)
        book.writeNumber(0, fixedColumns + y, first + y);

    db::Query rows(m_connection);
    rows.setSql(rowsStatement());
    if (!rows.execForward()) {
        result.error = rows.lastError();
        return result;
    }
    ApplianceRow current(yearColumns);
    QVariant appliance;
    int row = 0;
    while (book.ok() && rows.next()) {
        const QVariant code = rows.value(Appliance);
        if (row == 0 || code != appliance) {
            if (row > 0)
                current.write(book, row, widths);
            current.start(rows);
            appliance = code;
            ++row;
            if (progress)
                progress(row, total);
        }
        current.addJob(rows, first);
    }
    if (!rows.lastError().isEmpty()) {
        result.error = rows.lastError();
        return result;
    }
    if (row > 0)
        current.write(book, row, widths);
    // The widths go after the rows: only now are the contents known.
    for (int c = 0; c < fixedColumns; ++c)
        book.setColumnWidth(c, double(widths[size_t(c)]) + 2);
    for (int y = 0; y < yearColumns; ++y)
        book.setColumnWidth(fixedColumns + y, yearColumnWidth);
    if (!book.close(&result.error) || !file.commit(&result.error))
        return result;
    result.written = true;
    result.appliances = row;
    return result;
}

} // namespace mivo::reports
