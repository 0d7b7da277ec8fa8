#include "joblist.h"

#include "framework/selectedrecord.h"
#include "platform/dbquery.h"

using namespace Qt::StringLiterals;

namespace mivo::workflow
{

namespace
{

// The customer's code is selected under a name of its own: the order by customer columns
// ends with it.
const QString selectList =
    u"SELECT MUNKA.FELVETELD, MUNKA.TERVD, MUNKA.LEIRAST, MUNKA.UGYFEL, MUNKA.KESZULEK, "
    u"MUNKA.KOD,\n"
    u" MUNKA.TIPUS, (SELECT TEVEKENYS.NEV FROM TEVEKENYS WHERE TEVEKENYS.KOD = MUNKA.TERVTEV) "
    u"TEVNEV,\n"
    u" MUNKA.SZERELOT, MUNKA.TERVT, MUNKA.LEIRASM, MUNKA.DEDU,\n"
    u" (SELECT ARU.NEV FROM ARU WHERE ARU.BELSOKOD = MUNKA.TIPUS) KESZULEKNEV,\n"
    u" (SELECT ARU.KOD FROM ARU WHERE ARU.BELSOKOD = MUNKA.TIPUS) KESZULEKKOD,\n"
    u" UGYFEL.NEV UGYFELNEV, UGYFEL.IRSZAM, UGYFEL.VAROS, UGYFEL.UTCA, UGYFEL.TELEFON, "
    u"UGYFEL.FAX,\n"
    u" UGYFEL.EMAIL, UGYFEL.KOMMENT, UGYFEL.KOMMENT2, UGYFEL.KOD UGYFELKOD"_s;

const QString jobsFirst = u"FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL"_s;
const QString stateCondition = u"WHERE MUNKA.ALLAPOT = :allapot"_s;

} // namespace

const std::vector<JobOrdering>& jobOrderings()
{
    static const std::vector<JobOrdering> orderings{
        {u"Rendezés bejelentés dátumra"_s, u" ORDER BY MUNKA.FELVETELD"_s},
        {u"Rendezés ügyfél névre"_s, u" ORDER BY UGYFEL.NEV"_s},
        {u"Rendezés településre"_s, u" ORDER BY UGYFEL.VAROS"_s},
        {u"Rendezés címre"_s, u" ORDER BY UGYFEL.UTCA"_s},
        {u"Rendezés tervezett tevékenyég dátumra"_s, u" ORDER BY MUNKA.TERVD"_s},
    };
    return orderings;
}

std::optional<JobState> listedState(QStringView mode)
{
    if (mode == u"M")
        return JobState::Recorded;
    if (mode == u"Z")
        return JobState::ClosedDoor;
    if (mode == u"F")
        return JobState::InProgress;
    return std::nullopt;
}

QString jobListStatement(int ordering)
{
    const QString orderBy = jobOrderings().at(size_t(ordering)).orderBy.trimmed();
    // Each ordering is read along an index, never sorted whole: a list holds tens of
    // thousands of jobs and the model reads a screenful at a time. The job orders walk the
    // state's index on the date with the job's code to break ties. The customer orders walk
    // the customer's index on the column and its code, each customer's jobs following: the
    // left join keeps the customers the outer stream (joined inner, the optimiser reads the
    // jobs of the state first and sorts them all), and the state condition leaves out the
    // customers without a listed job.
    const bool byCustomer = orderBy.contains(u"UGYFEL."_s);
    return selectList + u"\n"_s +
           (byCustomer ? u"FROM UGYFEL LEFT JOIN MUNKA ON MUNKA.UGYFEL = UGYFEL.KOD"_s
                       : jobsFirst) +
           u"\n"_s + stateCondition + u"\n"_s + orderBy +
           (byCustomer ? u", UGYFEL.KOD"_s : u", MUNKA.KOD"_s);
}

QString jobRecordStatement()
{
    return selectList + u"\n"_s + jobsFirst + u"\n"_s + stateCondition + u" AND MUNKA.KOD = :kod"_s;
}

QList<TorzsGridColumn> jobListColumns()
{
    return {
        {u"FELVETELD"_s, u"Bejelentve"_s, {}},
        {u"UGYFELNEV"_s, u"Ügyfél"_s, {}},
        {u"IRSZAM"_s, u"Irsz."_s, {}},
        {u"VAROS"_s, u"Település"_s, {}},
        {u"UTCA"_s, u"Cím"_s, {}},
        {u"TERVD"_s, u"Terv.dátum"_s, {}},
        {u"TEVNEV"_s, u"Tevékenység"_s, {}},
        {u"KESZULEKNEV"_s, u"Készülék"_s, {}},
        {u"LEIRAST"_s, u"Probléma leírás"_s, {}},
        {u"KOD"_s, u"#"_s, {}},
    };
}

JobList::JobList() : JobList(u"d_mivo"_s) {}

JobList::JobList(const QString& connectionName)
    : m_model(std::make_unique<TorzsModel>(connectionName)), m_connection(connectionName)
{
    m_model->setGridColumns(jobListColumns());
    const auto forget = [this] { forgetRows(); };
    QObject::connect(m_model.get(), &QAbstractItemModel::modelReset, m_model.get(), forget);
    QObject::connect(m_model.get(), &QAbstractItemModel::rowsInserted, m_model.get(), forget);
    QObject::connect(m_model.get(), &QAbstractItemModel::rowsRemoved, m_model.get(), forget);
    QObject::connect(m_model.get(), &QAbstractItemModel::layoutChanged, m_model.get(), forget);
}

JobList::~JobList() = default;

bool JobList::open(JobState listed, QString* error)
{
    m_listed = listed;
    m_currentJob = 0;
    return read(error);
}

bool JobList::reopen(QString* error)
{
    if (!m_listed) {
        if (error)
            error->clear();
        return false;
    }
    return read(error);
}

bool JobList::reorder(int ordering, QString* error)
{
    if (ordering < 0 || ordering >= int(jobOrderings().size()) || !m_listed) {
        if (error)
            error->clear();
        return false;
    }
    m_ordering = ordering;
    return read(error);
}

bool JobList::read(QString* error)
{
    m_model->query().setSql(jobListStatement(m_ordering));
    m_model->setParameter(u"allapot"_s, stateCode(*m_listed));
    forgetRows();
    if (!m_model->reopen(error))
        return false;
    // The rows around the current job are the ones to show.
    if (m_currentJob > 0 && rowOfJob(m_currentJob) < 0 && !m_error.isEmpty()) {
        if (error)
            *error = m_error;
        return false;
    }
    return true;
}

int JobList::rowOfJob(int kod)
{
    m_error.clear();
    if (!m_indexed) {
        m_rowOfCode.clear();
        const int rows = m_model->rowCount();
        m_rowOfCode.reserve(size_t(rows));
        for (int row = 0; row < rows; ++row)
            m_rowOfCode.emplace(jobOfRow(row), row);
        m_indexed = true;
    }
    if (const auto it = m_rowOfCode.find(kod); it != m_rowOfCode.end())
        return it->second;
    if (!m_listed || (m_model->atStart() && m_model->atEnd()))
        return -1;
    // Its own record by its key tells where in the order it stands; a job of another state
    // has none.
    db::Query q(m_connection);
    q.setSql(jobRecordStatement());
    q.bind(u"allapot"_s, stateCode(*m_listed));
    q.bind(u"kod"_s, kod);
    if (m_model->statementObserver())
        m_model->statementObserver()(q.sql(), q.boundValues());
    if (!q.exec()) {
        m_error = q.lastError();
        return -1;
    }
    if (!q.first())
        return -1;
    const int row = m_model->locateAt(currentRecord(q), {u"KOD"_s}, {kod});
    if (row < 0)
        m_error = m_model->lastError();
    return row;
}

int JobList::jobOfRow(int row) const
{
    return m_model->value(row, u"KOD"_s).toInt();
}

} // namespace mivo::workflow
