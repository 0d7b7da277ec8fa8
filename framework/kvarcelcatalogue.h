#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace mivo::kvarcel
{

/// The builder's own connection.
inline constexpr auto connectionName = "D_KVARCEL";

/// One list item of the catalogue (a KVARCELUJ row) with the user's choices.
struct ListItem {
    // The catalogue row
    QString sorrend;
    QString megnevezes;
    QString muvelet;   ///< how the column is produced (see columnExpression)
    QString tabla;     ///< alias of the item's table (a TJOINS alias, or a table name)
    QString mezo;      ///< column or expression in that table; empty: the item has no column
    QString ahol;      ///< extra condition of computed columns
    QString alias;     ///< the item's identifier and result column name
    QString tipus;     ///< catalogue type code ("C30", "N", "NI", "NI2", "X", "*...", "")
    QString fejlec;    ///< heading of its result column
    QString tag;       ///< permission letters; "X" hides it from everybody
    QString jomuvelet; ///< condition operators allowed, separated by ","; empty: all
    QString tolig;     ///< literal expression of MUVELET "T_I"
    int fulsorszam = 0;

    // The choices
    QString kell;     ///< letter A-Z: listed, in this column position
    QString rendez;   ///< digit 1-9: sort priority
    QString csoport;  ///< digit 1-9: grouping level
    QString feltetel; ///< condition text (" = 'A' vagy  = 'B'", " between '1' and '5'", ...)
    bool visible = true;

    /// Whether one of the four choices is made.
    bool takesPart() const;
    void clearChoices();
};

/// A row of the join graph TJOINS.
struct JoinRow {
    int szint = 0;
    QString tabla;
    QString alias;
    QString alias2; ///< parent alias
    QString idomezo;
    QString kulcs;
    QString tjoin;
    QString idowhere;
    QString tfilter;
    QString tabla2;
};

/// A tab page of the item grid (a KVARCELCSOPORT row).
struct Tab {
    QString kod;
    QString megnevezes;
};

/// The six options of the screen and whether the two conditional ones are shown.
struct ListOptions {
    bool nullas = false;       ///< "Kellenek a csupa nullás sorok"
    bool kilepettek = true;    ///< "Kellenek a kilépettek is"
    bool csakOsszesen = false; ///< "Csak az összesítő sorok kellenek"
    bool berido = true;        ///< "A teljes béridőszak egyben"
    bool inner = false;        ///< "Csak ha minden táblában van sora"
    bool lapdob = false;       ///< "Lapdobás csoportonként"
    bool kilepettekShown = false;
    bool beridoShown = false;
};

/// A database the advanced switch offers (a DBASES row).
struct DatabaseEntry {
    QString server;
    QString user;
    QString password;
};

/// Which choice column a mark belongs to.
enum class Mark { Kell, Rendez, Csoport };

/// The catalogue of list items with the user's choices, the tab pages, the join graph and
/// what the connection offers. Read from the builder's connection; widget-free.
class Catalogue
{
public:
    /// Reads the catalogue (KVARCELUJ, KVARCELCSOPORT), the optional tables it looks for,
    /// the period month of SYSFILE, the DBASES rows and the table list on the connection.
    /// False with the database's text in *error; the catalogue is then empty.
    bool read(const QString& connection, QString* error);

    std::vector<ListItem>& items() { return m_items; }
    const std::vector<ListItem>& items() const { return m_items; }
    const std::vector<Tab>& tabs() const { return m_tabs; }

    /// Index of the item with that ALIAS (case-insensitive), -1 when none (kvarcidefsor).
    int kvarcidefsor(const QString& alias) const;
    ListItem* item(const QString& alias);
    const ListItem* item(const QString& alias) const;

    /// Applies the permission letters (KVARCIJOGOK) to every item's visibility: "X" in TAG
    /// hides always; letters without "W" show only items whose TAG shares one of them.
    void applyRights(const QString& kvarcijogok);
    /// The tabs that have visible items; the first tab shows every visible item.
    std::vector<Tab> visibleTabs() const;
    /// Whether the item is shown on the tab of the index in visibleTabs().
    bool onTab(const ListItem& item, int tabIndex) const;

    /// A click on a mark cell: an empty one gets the next free symbol (A…Z, 1…9; past the
    /// last the last again), a filled one loses it and every later symbol moves one back.
    void toggle(int index, Mark mark);
    /// The typed value of a mark: "" clears, else one letter (Kell) or digit 1-9 (others),
    /// upper-cased. False when the value is none of them (nothing changes).
    bool setMark(int index, Mark mark, const QString& value);
    static QString& markOf(ListItem& item, Mark mark);
    static QString markOf(const ListItem& item, Mark mark);

    void clearChoices();

    bool tjoinsExists() const { return m_tjoins; }
    bool dbasesExists() const { return m_dbases; }
    bool konvExists() const { return m_konv; }
    bool sysfileExists() const { return m_sysfile; }
    /// The options that need the payroll tables.
    bool beridoShown() const { return m_berkoltseghely; }
    bool kilepettekShown() const { return m_berkoltseghely || m_oraatm; }
    QString period() const { return m_aktho; }
    QString companyName() const { return m_cegnev; }
    const std::vector<DatabaseEntry>& databases() const { return m_databases; }
    /// The user tables of the connection, for the statement templates.
    const QStringList& tables() const { return m_tables; }

    /// Replaces the items (tests, a catalogue given by hand).
    void setItems(std::vector<ListItem> items) { m_items = std::move(items); }
    void setTabs(std::vector<Tab> tabs) { m_tabs = std::move(tabs); }

private:
    std::vector<ListItem> m_items;
    std::vector<Tab> m_tabs;
    std::vector<DatabaseEntry> m_databases;
    QStringList m_tables;
    bool m_tjoins = false;
    bool m_dbases = false;
    bool m_konv = false;
    bool m_sysfile = false;
    bool m_berkoltseghely = false;
    bool m_oraatm = false;
    QString m_aktho;
    QString m_cegnev;
};

/// The join graph read afresh ("select * from tjoins"); empty without the table. False with
/// the database's text in *error.
bool readJoins(const QString& connection, std::vector<JoinRow>* joins, QString* error);

/// Whether a type code is numeric ("N", "NI", "NI2") or text ("C" + digits).
bool isNumericType(const QString& code);
bool isTextType(const QString& code);
/// The length of a text type code ("C30" → 30), 0 for others.
int textLength(const QString& code);

} // namespace mivo::kvarcel
