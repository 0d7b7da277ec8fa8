#include "kvarcelcatalogue.h"

#include "platform/dbquery.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

const QString letters = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ"_s;
const QString digits = u"123456789"_s;

const QString& symbolsOf(Mark mark)
{
    return mark == Mark::Kell ? letters : digits;
}

bool fail(const db::Query& q, QString* error)
{
    if (error)
        *error = q.lastError();
    return false;
}

} // namespace

bool ListItem::takesPart() const
{
    return !kell.isEmpty() || !rendez.isEmpty() || !feltetel.isEmpty() || !csoport.isEmpty();
}

void ListItem::clearChoices()
{
    kell.clear();
    rendez.clear();
    csoport.clear();
    feltetel.clear();
}

bool isNumericType(const QString& code)
{
    return code.startsWith(QLatin1Char('N'), Qt::CaseInsensitive);
}

bool isTextType(const QString& code)
{
    return code.startsWith(QLatin1Char('C'), Qt::CaseInsensitive);
}

int textLength(const QString& code)
{
    return isTextType(code) ? code.mid(1).toInt() : 0;
}

bool Catalogue::read(const QString& connection, QString* error)
{
    m_items.clear();
    m_tabs.clear();
    m_databases.clear();
    m_tables.clear();
    m_aktho.clear();
    m_cegnev.clear();

    db::Query tables(connection);
    tables.setSql(u"select trim(rdb$relation_name) as NEV from rdb$relations\n"
                  "where coalesce(rdb$system_flag, 0) = 0 order by 1"_s);
    if (!tables.exec())
        return fail(tables, error);
    while (tables.next())
        m_tables << tables.text(u"NEV"_s);
    m_tjoins = m_tables.contains(u"TJOINS"_s);
    m_dbases = m_tables.contains(u"DBASES"_s);
    m_konv = m_tables.contains(u"KVARCELUJKONV"_s);
    m_sysfile = m_tables.contains(u"SYSFILE"_s);
    m_berkoltseghely = m_tables.contains(u"BERKOLTSEGHELY"_s);
    m_oraatm = m_tables.contains(u"ORAATM"_s);

    db::Query q(connection);
    q.setSql(u"Select * From KVARCELUJ\nOrder By Sorrend"_s);
    if (!q.exec())
        return fail(q, error);
    while (q.next()) {
        ListItem item;
        item.sorrend = q.text(u"SORREND"_s);
        item.megnevezes = q.text(u"MEGNEVEZES"_s);
        item.muvelet = q.text(u"MUVELET"_s);
        item.tabla = q.text(u"TABLA"_s);
        item.mezo = q.text(u"MEZO"_s);
        item.ahol = q.text(u"AHOL"_s);
        item.alias = q.text(u"ALIAS"_s);
        item.tipus = q.text(u"TIPUS"_s);
        item.fejlec = q.text(u"FEJLEC"_s);
        item.tag = q.text(u"TAG"_s);
        item.jomuvelet = q.text(u"JOMUVELET"_s);
        item.tolig = q.text(u"TOLIG"_s);
        item.fulsorszam = q.integer(u"FULSORSZAM"_s);
        m_items.push_back(item);
    }

    db::Query groups(connection);
    groups.setSql(u"select * from kvarcelcsoport\norder by kod"_s);
    if (!groups.exec())
        return fail(groups, error);
    while (groups.next())
        m_tabs.push_back({groups.text(u"KOD"_s), groups.text(u"MEGNEVEZES"_s)});

    if (m_sysfile) {
        db::Query sys(connection);
        sys.setSql(u"Select CEGNEV,AKTHO from sysfile"_s);
        if (!sys.exec())
            return fail(sys, error);
        if (sys.first()) {
            m_cegnev = sys.text(u"CEGNEV"_s);
            m_aktho = sys.text(u"AKTHO"_s);
        }
    }
    if (m_dbases) {
        db::Query dbs(connection);
        dbs.setSql(u"Select dbserver,dbuser,dbpw from DBASES order by dbserver,dbuser"_s);
        if (!dbs.exec())
            return fail(dbs, error);
        while (dbs.next())
            m_databases.push_back(
                {dbs.text(u"DBSERVER"_s), dbs.text(u"DBUSER"_s), dbs.text(u"DBPW"_s)});
    }
    return true;
}

int Catalogue::kvarcidefsor(const QString& alias) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].alias.compare(alias, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

ListItem* Catalogue::item(const QString& alias)
{
    const int i = kvarcidefsor(alias);
    return i < 0 ? nullptr : &m_items[size_t(i)];
}

const ListItem* Catalogue::item(const QString& alias) const
{
    const int i = kvarcidefsor(alias);
    return i < 0 ? nullptr : &m_items[size_t(i)];
}

void Catalogue::applyRights(const QString& kvarcijogok)
{
    QString rights = kvarcijogok.trimmed();
    rights.remove(QLatin1Char(',')).remove(QLatin1Char(';'));
    const bool restricted = !rights.isEmpty() && !rights.contains(QLatin1Char('W'));
    for (ListItem& item : m_items) {
        item.visible = !item.tag.contains(QLatin1Char('X'));
        if (item.visible && restricted)
            item.visible = std::any_of(rights.begin(), rights.end(),
                                       [&](QChar c) { return item.tag.contains(c); });
    }
}

std::vector<Tab> Catalogue::visibleTabs() const
{
    std::vector<Tab> tabs;
    const bool anyVisible =
        std::any_of(m_items.begin(), m_items.end(), [](const ListItem& i) { return i.visible; });
    for (size_t t = 0; t < m_tabs.size(); ++t) {
        const Tab& tab = m_tabs[t];
        // The first tab holds every item.
        const bool has =
            t == 0 ? anyVisible : std::any_of(m_items.begin(), m_items.end(), [&](const auto& i) {
                return i.visible && QString::number(i.fulsorszam) == tab.kod.trimmed();
            });
        if (has)
            tabs.push_back(tab);
    }
    return tabs;
}

bool Catalogue::onTab(const ListItem& item, int tabIndex) const
{
    if (!item.visible)
        return false;
    const std::vector<Tab> tabs = visibleTabs();
    if (tabIndex <= 0 || tabIndex >= int(tabs.size()))
        return true;
    const Tab& tab = tabs[size_t(tabIndex)];
    // The first catalogue row is the "all items" tab even when it is not the first shown.
    if (!m_tabs.empty() && tab.kod == m_tabs.front().kod)
        return true;
    return QString::number(item.fulsorszam) == tab.kod.trimmed();
}

QString& Catalogue::markOf(ListItem& item, Mark mark)
{
    switch (mark) {
    case Mark::Kell:
        return item.kell;
    case Mark::Rendez:
        return item.rendez;
    case Mark::Csoport:
        break;
    }
    return item.csoport;
}

QString Catalogue::markOf(const ListItem& item, Mark mark)
{
    return markOf(const_cast<ListItem&>(item), mark);
}

void Catalogue::toggle(int index, Mark mark)
{
    if (index < 0 || index >= int(m_items.size()))
        return;
    const QString& symbols = symbolsOf(mark);
    QString& own = markOf(m_items[size_t(index)], mark);
    if (own.isEmpty()) {
        int used = 0;
        for (const ListItem& i : m_items)
            used += markOf(i, mark).isEmpty() ? 0 : 1;
        own = symbols.at(std::min<int>(used, int(symbols.size()) - 1));
        return;
    }
    const qsizetype removed = symbols.indexOf(own);
    own.clear();
    for (ListItem& i : m_items) {
        QString& m = markOf(i, mark);
        const qsizetype at = m.isEmpty() ? -1 : symbols.indexOf(m);
        if (at > removed && at > 0)
            m = symbols.at(at - 1);
    }
}

bool Catalogue::setMark(int index, Mark mark, const QString& value)
{
    if (index < 0 || index >= int(m_items.size()))
        return false;
    const QString v = value.trimmed().toUpper();
    if (!v.isEmpty() && (v.size() != 1 || !symbolsOf(mark).contains(v)))
        return false;
    markOf(m_items[size_t(index)], mark) = v;
    return true;
}

void Catalogue::clearChoices()
{
    for (ListItem& i : m_items) {
        i.clearChoices();
    }
}

bool readJoins(const QString& connection, std::vector<JoinRow>* joins, QString* error)
{
    joins->clear();
    db::Query q(connection);
    q.setSql(u"select * from tjoins"_s);
    if (!q.exec())
        return fail(q, error);
    while (q.next()) {
        JoinRow r;
        r.szint = q.integer(u"SZINT"_s);
        r.tabla = q.text(u"TABLA"_s);
        r.alias = q.text(u"ALIAS"_s);
        r.alias2 = q.text(u"ALIAS2"_s);
        r.idomezo = q.text(u"IDOMEZO"_s);
        r.kulcs = q.text(u"KULCS"_s);
        r.tjoin = q.text(u"TJOIN"_s);
        r.idowhere = q.text(u"IDOWHERE"_s);
        r.tfilter = q.text(u"TFILTER"_s);
        r.tabla2 = q.text(u"TABLA2"_s);
        joins->push_back(r);
    }
    return true;
}

} // namespace mivo::kvarcel
