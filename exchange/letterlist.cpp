#include "letterlist.h"

#include "letters.h"

#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QDate>

#include <algorithm>
#include <map>
#include <optional>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

// Appliances in use: a removed one (owner change) gets no letter.
const QString applianceInUse = u"(KESZULEK.ALLAPOT IS NULL OR KESZULEK.ALLAPOT='')"_s;

QString shiftedDate(const QString& date, int months)
{
    const QDate d = QDate::fromString(date, u"yyyy.MM.dd"_s);
    return d.isValid() ? d.addMonths(months).toString(u"yyyy.MM.dd"_s) : date;
}

// The customer-level parts of the test, on statements prepared once for the whole list.
class CustomerTest
{
public:
    CustomerTest(const QString& connection, const LetterConditions& c)
        : m_c(c), m_maintenance(connection), m_commissioning(connection), m_letters(connection)
    {
        m_maintenance.setLines({u"Select First 1 MUNKA.KESZULEK, MUNKA.MUNKAD"_s,
                                u"From MUNKA, KESZULEK"_s, u"Where MUNKA.UGYFEL = :ugyfel"_s,
                                u"AND MUNKA.MUNKATEV = 'KAR'"_s, u"AND MUNKA.MUNKAD >= :munkad"_s,
                                u"AND KESZULEK.KOD = MUNKA.KESZULEK AND "_s + applianceInUse});
        m_commissioning.setLines({u"Select First 1 MUNKA.KESZULEK, MUNKA.MUNKAD"_s,
                                  u"From MUNKA, KESZULEK"_s, u"Where MUNKA.UGYFEL = :ugyfel"_s,
                                  u"AND (MUNKA.MUNKATEV = 'ÜZ' or MUNKA.MUNKATEV = 'ÜE')"_s,
                                  u"AND MUNKA.MUNKAD >= :munkadtol"_s,
                                  u"AND MUNKA.MUNKAD <= :munkadig"_s,
                                  u"AND KESZULEK.KOD = MUNKA.KESZULEK AND "_s + applianceInUse});
        m_letters.setLines({u"Select First 1 MIKOR, VALASZ"_s, u"From LEVELKE"_s,
                            u"Where UGYFEL = :ugyfel"_s, u"And (VALASZ is null or VALASZ='')"_s});
    }

    // Whether the customer's jobs let him stay; nullopt with *error on failure.
    std::optional<bool> jobsAllow(int ugyfel, QString* error)
    {
        if (m_c.maintenance) {
            m_maintenance.bind(u"ugyfel"_s, ugyfel);
            m_maintenance.bind(u"munkad"_s, m_c.maintenanceFrom);
            const std::optional<bool> found = exists(m_maintenance, error);
            if (!found)
                return std::nullopt;
            if (*found)
                return false;
        }
        if (m_c.commissioningJob) {
            const std::optional<bool> found = commissioned(ugyfel, 0, error);
            if (!found)
                return std::nullopt;
            if (*found) {
                if (!m_c.threeYears)
                    return false;
                // A customer whose appliance was commissioned in this season a year or two
                // ago stays.
                for (int months : {-12, -24}) {
                    const std::optional<bool> earlier = commissioned(ugyfel, months, error);
                    if (!earlier)
                        return std::nullopt;
                    if (*earlier)
                        return true;
                }
                return false;
            }
        }
        return true;
    }

    std::optional<bool> hasUnanswered(int ugyfel, QString* error)
    {
        m_letters.bind(u"ugyfel"_s, ugyfel);
        return exists(m_letters, error);
    }

private:
    std::optional<bool> commissioned(int ugyfel, int months, QString* error)
    {
        m_commissioning.bind(u"ugyfel"_s, ugyfel);
        m_commissioning.bind(u"munkadtol"_s, shiftedDate(m_c.jobFrom, months));
        m_commissioning.bind(u"munkadig"_s, shiftedDate(m_c.jobTo, months));
        return exists(m_commissioning, error);
    }

    static std::optional<bool> exists(db::Query& q, QString* error)
    {
        if (!q.exec()) {
            if (error)
                *error = q.lastError();
            return std::nullopt;
        }
        const bool found = q.first();
        q.close();
        return found;
    }

    const LetterConditions& m_c;
    db::Query m_maintenance;
    db::Query m_commissioning;
    db::Query m_letters;
};

} // namespace

LetterList::LetterList(QObject* parent) : QAbstractListModel(parent) {}

int LetterList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant LetterList::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const LetterLine& line = m_lines[size_t(index.row())];
    if (role == Qt::DisplayRole)
        return line.text;
    if (role == Qt::CheckStateRole)
        return line.ticked ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool LetterList::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setTicked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

Qt::ItemFlags LetterList::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
}

bool LetterList::select(const QString& condition, const QStringList& extraFields,
                        const LetterConditions& conditions, QString* error,
                        const QString& connectionName)
{
    beginResetModel();
    m_lines.clear();
    m_stored = false;
    db::Query q(connectionName);
    QStringList& sql = q.lines();
    sql << u"Select UGYFEL.*, ARU.NEV KESZULEKNEV, ARU.CSOPORT1, KESZULEK.BEUZEMELES"_s
        << u"From UGYFEL, ARU, KESZULEK"_s
        << u"WHERE (UGYFEL.TOROLT<>'I' OR UGYFEL.TOROLT IS NULL)"_s
        << u"and UGYFEL.KOD = KESZULEK.UGYFEL AND ARU.BELSOKOD = KESZULEK.TIPUS"_s
        << u"AND "_s + applianceInUse;
    // In brackets: an OR of the condition must not reach past the joins.
    if (!condition.trimmed().isEmpty())
        sql << u"AND ("_s + condition + u')';
    const QStringList groups = conditions.groupsOnly ? conditions.groupCodes() : QStringList();
    if (!groups.isEmpty()) {
        QStringList params;
        for (qsizetype i = 0; i < groups.size(); ++i) {
            params << u":csoport"_s + QString::number(i);
            q.bind(params.last().mid(1), groups[i]);
        }
        sql << u"AND ARU.CSOPORT1 IN ("_s + params.join(u", "_s) + u')';
    }
    sql << u"Order by UGYFEL.NEV"_s;
    const bool ok = q.exec();
    if (!ok && error)
        *error = q.lastError();
    while (ok && q.next()) {
        LetterLine line;
        line.ugyfel = q.integer(u"KOD"_s);
        line.nev = q.text(u"NEV"_s);
        line.irszam = q.text(u"IRSZAM"_s);
        line.varos = q.text(u"VAROS"_s);
        line.utca = q.text(u"UTCA"_s);
        line.email = q.text(u"EMAIL"_s);
        line.keszulek = q.text(u"KESZULEKNEV"_s);
        line.csoport1 = q.text(u"CSOPORT1"_s);
        line.beuzemeles = q.text(u"BEUZEMELES"_s);
        line.text =
            QStringList{line.nev, line.irszam, line.varos, line.utca, line.email}.join(u' ');
        if (conditions.typeName)
            line.text += u", "_s + line.keszulek;
        if (conditions.groupsOnly)
            line.text += u", "_s + line.csoport1;
        for (const QString& field : extraFields)
            line.text += u", "_s + q.text(field);
        m_lines.push_back(std::move(line));
    }
    endResetModel();
    emit tickedCountChanged(tickedCount());
    return ok;
}

bool LetterList::applyConditions(const LetterConditions& conditions, QString* error,
                                 const QString& connectionName)
{
    m_stored = false;
    std::vector<bool> ticks;
    ticks.reserve(m_lines.size());
    {
        // One transaction keeps the three statements prepared for every customer.
        db::Transaction reading(connectionName);
        CustomerTest test(connectionName, conditions);
        std::map<int, bool> allowed;
        std::map<int, bool> answered;
        for (const LetterLine& line : m_lines) {
            auto known = allowed.find(line.ugyfel);
            if (known == allowed.end()) {
                const std::optional<bool> allow = test.jobsAllow(line.ugyfel, error);
                if (!allow)
                    return false;
                known = allowed.emplace(line.ugyfel, *allow).first;
            }
            bool keep = known->second;
            // The commissioning date is the line's own appliance's, not that of the
            // customer's first one: an appliance without one never stays.
            if (keep && conditions.commissioned) {
                keep = !line.beuzemeles.isEmpty() &&
                       line.beuzemeles >= conditions.commissionedFrom &&
                       line.beuzemeles <= conditions.commissionedTo;
            }
            if (keep && conditions.unanswered) {
                auto letter = answered.find(line.ugyfel);
                if (letter == answered.end()) {
                    const std::optional<bool> found = test.hasUnanswered(line.ugyfel, error);
                    if (!found)
                        return false;
                    letter = answered.emplace(line.ugyfel, *found).first;
                }
                keep = letter->second;
            }
            ticks.push_back(keep);
        }
    }
    for (size_t i = 0; i < m_lines.size(); ++i)
        m_lines[i].ticked = ticks[i];
    if (!m_lines.empty())
        emit dataChanged(index(0), index(int(m_lines.size()) - 1), {Qt::CheckStateRole});
    emit tickedCountChanged(tickedCount());
    return true;
}

int LetterList::tickedCount() const
{
    return int(std::count_if(m_lines.begin(), m_lines.end(),
                             [](const LetterLine& l) { return l.ticked; }));
}

void LetterList::setTicked(int row, bool ticked)
{
    if (row < 0 || row >= int(m_lines.size()) || m_lines[size_t(row)].ticked == ticked)
        return;
    m_lines[size_t(row)].ticked = ticked;
    m_stored = false;
    emit dataChanged(index(row), index(row), {Qt::CheckStateRole});
    emit tickedCountChanged(tickedCount());
}

void LetterList::setAllTicked(bool ticked)
{
    for (LetterLine& line : m_lines)
        line.ticked = ticked;
    m_stored = false;
    if (!m_lines.empty())
        emit dataChanged(index(0), index(int(m_lines.size()) - 1), {Qt::CheckStateRole});
    emit tickedCountChanged(tickedCount());
}

void LetterList::clear()
{
    beginResetModel();
    m_lines.clear();
    m_stored = false;
    endResetModel();
    emit tickedCountChanged(0);
}

} // namespace mivo::exchange
