#include "napirend.h"

#include "celltext.h"
#include "jobrepository.h"

#include "core/dat.h"
#include "platform/dbquery.h"

#include <map>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

const QString NapirendModel::longDayCompany = velkorCompany;

NapirendModel::NapirendModel(QObject* parent) : QAbstractTableModel(parent) {}

bool NapirendModel::build(const QString& ownCompany, const QString& date, QString* error)
{
    db::Query q;
    q.setSql(QStringLiteral(
        "SELECT KOD,NEV,EMAIL FROM SZERELO WHERE CEGKOD = :cegkod AND AKTIV='I' ORDER BY NEV"));
    q.bind(QStringLiteral("cegkod"), ownCompany);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    beginResetModel();
    m_rows = ownCompany == longDayCompany ? 18 : 13;
    m_columns.clear();
    while (q.next())
        m_columns.push_back(
            emptyColumn({q.text(QStringLiteral("KOD")), q.text(QStringLiteral("NEV")),
                         q.text(QStringLiteral("EMAIL"))},
                        date));
    endResetModel();
    return setAllDates(date, error);
}

NapirendModel::Column NapirendModel::emptyColumn(const Technician& technician,
                                                 const QString& date) const
{
    Column c;
    c.technician = technician;
    c.date = date;
    const int hours = m_rows - firstHourRow;
    for (int i = 0; i < hours; ++i)
        c.cells << QString();
    c.codes.assign(size_t(hours), 0);
    return c;
}

QString NapirendModel::header(int column) const
{
    const Technician& t = technician(column);
    return t.kod + QLatin1Char(' ') + t.nev;
}

QString NapirendModel::cellText(int column, int row) const
{
    const QString& text = at(column).cells.at(row - firstHourRow);
    return text.isEmpty() && isPending(column, row) ? m_pending->text : text;
}

bool NapirendModel::isPending(int column, int row) const
{
    const Column& c = at(column);
    return m_pending && !c.absent && m_pending->row == row &&
           m_pending->technician == c.technician.kod && m_pending->date == c.date;
}

void NapirendModel::setPending(const std::optional<PendingCell>& cell)
{
    const int before = m_pending ? columnOf(m_pending->technician) : 0;
    m_pending = cell;
    const int after = m_pending ? columnOf(m_pending->technician) : 0;
    for (int column : {before, after}) {
        if (column > 0)
            emitColumnChanged(column);
    }
}

int NapirendModel::columnOf(const QString& technician) const
{
    for (int c = 1; c <= technicianCount(); ++c) {
        if (at(c).technician.kod == technician)
            return c;
    }
    return 0;
}

void NapirendModel::emitColumnChanged(int column)
{
    emit dataChanged(index(firstHourRow, column), index(m_rows - 1, column));
}

int NapirendModel::jobCode(int column, int row) const
{
    return at(column).codes.at(size_t(row - firstHourRow));
}

QString NapirendModel::hourLabel(int row)
{
    return QStringLiteral("%1").arg(row + 6, 2, 10, QLatin1Char('0'));
}

bool NapirendModel::refreshColumn(int column, const QString& date, QString* error)
{
    return refresh({{column, date}}, error);
}

bool NapirendModel::setAllDates(const QString& date, QString* error)
{
    std::vector<Request> requests;
    for (int c = 1; c <= technicianCount(); ++c)
        requests.push_back({c, date});
    return refresh(requests, error);
}

bool NapirendModel::refreshAll(QString* error)
{
    std::vector<Request> requests;
    for (int c = 1; c <= technicianCount(); ++c)
        requests.push_back({c, columnDate(c)});
    return refresh(requests, error);
}

bool NapirendModel::refresh(const std::vector<Request>& requests, QString* error)
{
    // One pair of queries per distinct date serves all its columns.
    std::vector<Column> fresh;
    fresh.reserve(requests.size());
    std::map<QString, std::vector<Column*>> byDate;
    for (const Request& r : requests)
        fresh.push_back(emptyColumn(at(r.column).technician, r.date));
    for (size_t i = 0; i < fresh.size(); ++i)
        byDate[fresh[i].date].push_back(&fresh[i]);
    for (auto& [date, columns] : byDate) {
        if (!readDay(date, columns, error))
            return false;
    }
    for (size_t i = 0; i < requests.size(); ++i) {
        const int c = requests[i].column;
        m_columns[size_t(c - 1)] = std::move(fresh[i]);
        emit dataChanged(index(1, c), index(m_rows - 1, c));
    }
    return true;
}

bool NapirendModel::readDay(const QString& date, std::vector<Column*>& columns,
                            QString* error) const
{
    std::map<QString, Column*> byCode;
    QStringList codes;
    for (Column* c : columns) {
        byCode[c->technician.kod] = c;
        codes << c->technician.kod;
    }

    // A day is lost only when its one mark names a reason other than "M"; a reason missing
    // from TAVOLLET still blocks, with an empty name.
    const SqlStatement marksStatement = absenceStatement(date, codes);
    db::Query absence;
    absence.setSql(marksStatement.sql);
    for (const auto& [name, value] : marksStatement.params)
        absence.bind(name, value);
    if (!absence.exec()) {
        *error = absence.lastError();
        return false;
    }
    struct Mark {
        int count = 0;
        QString reason, name;
    };
    std::map<QString, Mark> marks;
    while (absence.next()) {
        Mark& m = marks[absence.text(u"SZERELOKOD"_s)];
        ++m.count;
        m.reason = absence.text(u"MUNKAKEPES"_s);
        m.name = absence.text(u"NEV"_s);
    }
    for (const auto& [kod, m] : marks) {
        if (m.count != 1 || m.reason.isEmpty() || m.reason == u"M"_s)
            continue;
        const auto it = byCode.find(kod);
        if (it == byCode.end())
            continue;
        Column* c = it->second;
        c->absent = true;
        c->cells[0] = absenceCellText(m.name);
    }

    QStringList working;
    for (Column* c : columns) {
        if (!c->absent)
            working << c->technician.kod;
    }
    if (working.empty())
        return true;
    std::vector<ScheduledJob> jobs;
    if (!JobRepository().dayJobs(date, working, &jobs, error))
        return false;
    for (const ScheduledJob& job : jobs) {
        // Of two jobs in one hour the one read later wins.
        if (job.tervt.isEmpty() || job.kod == m_hiddenJob)
            continue;
        const int row = job.tervt.toInt() - 6;
        if (row < firstHourRow || row >= m_rows)
            continue;
        const auto it = byCode.find(job.szerelot);
        if (it == byCode.end())
            continue;
        Column* c = it->second;
        c->cells[row - firstHourRow] =
            jobCellText(job.tervtev, job.lemondta, gridAddress(job.irszam, job.varos, job.utca));
        c->codes[size_t(row - firstHourRow)] = job.kod;
    }
    return true;
}

SqlStatement NapirendModel::absenceStatement(const QString& date, const QStringList& technicians)
{
    SqlStatement s;
    s.params[u"datum"_s] = date;
    s.sql = u"SELECT NAPIREND.SZERELOKOD, NAPIREND.MUNKAKEPES, TAVOLLET.NEV "
            "FROM NAPIREND LEFT JOIN TAVOLLET ON TAVOLLET.KOD = NAPIREND.MUNKAKEPES "
            "WHERE NAPIREND.DATUM = :datum AND NAPIREND.SZERELOKOD IN "_s +
            codeList(technicians, &s.params);
    return s;
}

void NapirendModel::clearCell(int column, int row)
{
    Column& c = m_columns.at(size_t(column - 1));
    c.cells[row - firstHourRow].clear();
    c.codes[size_t(row - firstHourRow)] = 0;
    emit dataChanged(index(row, column), index(row, column));
}

int NapirendModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int NapirendModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : technicianCount() + 1;
}

QVariant NapirendModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    const int column = index.column();
    if (role == JobCodeRole)
        return column > 0 && row >= firstHourRow ? jobCode(column, row) : 0;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (column == 0)
        return row >= firstHourRow ? hourLabel(row) : QString();
    QString text = row == 0   ? header(column)
                   : row == 1 ? dayCaption(columnDate(column))
                              : cellText(column, row);
    // Narrow columns cut their texts: the tip shows the whole text and whose column it is.
    if (role == Qt::ToolTipRole && row > 0)
        text = text.isEmpty() ? header(column) : text + u'\n' + header(column);
    return text;
}

} // namespace mivo::workflow
