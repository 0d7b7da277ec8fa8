#include "controlrows.h"

#include "alapdat.h"
#include "platform/dbquery.h"
#include "platform/sqltext.h"

namespace mivo
{

bool FieldDef::removed() const
{
    return nezhetiJog.trimmed().toUpper() == QLatin1String("X");
}

bool FieldDef::concealed() const
{
    return editMask == QLatin1String("<rejt>");
}

ButtonKind FieldDef::buttonKind() const
{
    if (button.isEmpty())
        return ButtonKind::None;
    if (button == QLatin1String("SZOT"))
        return ButtonKind::Lookup;
    if (button == QLatin1String("VALT"))
        return ButtonKind::Info;
    if (button == QLatin1String("PIX"))
        return ButtonKind::Picture;
    if (button == QLatin1String("TEXT"))
        return ButtonKind::Text;
    if (button == QLatin1String("DATE"))
        return ButtonKind::Date;
    if (button == QLatin1String("FORM"))
        return ButtonKind::Form;
    return funkcio == 2 ? ButtonKind::Memo : ButtonKind::ValueList;
}

QString FieldDef::buttonCaption() const
{
    switch (buttonKind()) {
    case ButtonKind::None:
        return {};
    case ButtonKind::Lookup:
        return QStringLiteral("?");
    case ButtonKind::Info:
        return QStringLiteral("+");
    case ButtonKind::Picture:
        return QStringLiteral("Kép");
    case ButtonKind::Text:
        return QStringLiteral("Text");
    case ButtonKind::Date:
        return QStringLiteral("Nap");
    case ButtonKind::Form:
        return funkcio == 52 ? QStringLiteral("Ügyfél") : QStringLiteral("Karton");
    case ButtonKind::Memo:
        return QStringLiteral("Memo");
    case ButtonKind::ValueList:
        break;
    }
    return button;
}

QString FieldDef::buttonHint() const
{
    switch (buttonKind()) {
    case ButtonKind::None:
    case ButtonKind::Date:
        return {};
    case ButtonKind::Lookup:
        return QStringLiteral("Választás szótárból");
    case ButtonKind::Info:
        return QStringLiteral("További információk");
    case ButtonKind::Picture:
        return QStringLiteral("Kép megjelenítése");
    case ButtonKind::Text:
        return QStringLiteral("Szövegfájl szerkesztése");
    case ButtonKind::Form:
        return funkcio == 52 ? QStringLiteral("Ügyfél kiválasztása")
                             : QStringLiteral("Forgalmi karton");
    case ButtonKind::Memo:
    case ButtonKind::ValueList:
        break;
    }
    return QStringLiteral("Megadható értékek: ") + button;
}

QString FieldDef::buttonParam1() const
{
    return hasField() ? mezo : button + QLatin1Char('_') + sorrend;
}

FieldDefs readFieldDefs(const QString& module, const QString& secondModule)
{
    FieldDefs defs;
    db::Query q(Tdm::connectionName);
    q.setLines({QStringLiteral("SELECT *"), QStringLiteral("FROM VEZERLO"),
                QStringLiteral("WHERE MODUL = :modul"),
                secondModule.isEmpty() ? QString() : QStringLiteral("OR MODUL = :modul2"),
                QStringLiteral("ORDER BY SORREND")});
    q.bind(QStringLiteral("modul"), module);
    if (!secondModule.isEmpty())
        q.bind(QStringLiteral("modul2"), secondModule);
    if (!q.exec()) {
        defs.error = q.lastError();
        return defs;
    }
    const ColumnInfo caption =
        Tdm::instance().fieldInfo(QStringLiteral("VEZERLO"), QStringLiteral("MEGNEVEZES"));
    if (caption.found && caption.length > 0)
        defs.captionWidth = caption.length;
    while (q.next()) {
        FieldDef f;
        f.modul = q.text(QStringLiteral("MODUL"));
        f.sorrend = q.text(QStringLiteral("SORREND"));
        f.mezo = q.text(QStringLiteral("MEZO"));
        f.megnevezes = q.text(QStringLiteral("MEGNEVEZES"));
        f.oszlopnev = q.text(QStringLiteral("OSZLOPNEV"));
        f.ujsor = q.text(QStringLiteral("UJSOR")) == QLatin1String("I");
        f.charCase = q.text(QStringLiteral("CHARCASE"));
        f.irhatjaJog = q.text(QStringLiteral("IRHATJA_JOG"));
        f.nezhetiJog = q.text(QStringLiteral("NEZHETI_JOG"));
        f.pwdChar = q.text(QStringLiteral("PWDCHAR"));
        f.pvezerlo = q.text(QStringLiteral("PVEZERLO"));
        f.editMask = q.text(QStringLiteral("EDITMASK"));
        f.notNull = q.text(QStringLiteral("NOTNULL")).toUpper() == QLatin1String("I");
        f.valid = q.integer(QStringLiteral("VALID"));
        f.valtMezo = q.text(QStringLiteral("VALT_MEZO"));
        f.button = q.text(QStringLiteral("BUTTON"));
        f.szot = q.text(QStringLiteral("SZOT_"));
        f.szotWhere = q.text(QStringLiteral("SZOTWHERE"));
        f.szotMezo = q.text(QStringLiteral("SZOTMEZO"));
        f.funkcio = q.integer(QStringLiteral("FUNKCIO"));
        for (int i = 0; i < 3; ++i) {
            const QString n = QString::number(i + 1);
            f.plusField[i] = q.text(QStringLiteral("PLUSFIELD") + n);
            f.plusWidth[i] = q.integer(QStringLiteral("PLUSFIELD") + n + QLatin1Char('H'));
        }
        defs.rows << f;
    }
    return defs;
}

bool PostAssignment::fetchesInfo() const
{
    return muvelet == QLatin1String("+") && szotMezo2.contains(QLatin1Char('.'));
}

QString PostAssignment::infoTable() const
{
    return szotMezo2.section(QLatin1Char('.'), 0, 0).trimmed();
}

QString PostAssignment::infoColumn() const
{
    return szotMezo2.section(QLatin1Char('.'), 1).trimmed();
}

QList<PostAssignment> readPostAssignments(const QString& panel, QString* error)
{
    QList<PostAssignment> rows;
    db::Query q(Tdm::connectionName);
    q.setLines({QStringLiteral("SELECT * FROM"), QStringLiteral("PVEZERLO"),
                QStringLiteral("WHERE PANEL = :panel")});
    q.bind(QStringLiteral("panel"), panel);
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return rows;
    }
    while (q.next())
        rows << PostAssignment{q.text(QStringLiteral("SZOTMEZO")), q.text(QStringLiteral("QMEZO")),
                               q.text(QStringLiteral("MUVELET")),
                               q.text(QStringLiteral("SZOTMEZO2"))};
    return rows;
}

namespace
{

// "$value" or "#FIELD"; nullopt when it names a field the panel lacks.
std::optional<QString> defaultTerm(const QString& term, const PanelFieldText& panel)
{
    if (term.startsWith(QLatin1Char('$')))
        return term.mid(1);
    if (term.startsWith(QLatin1Char('#')))
        return panel(term.mid(1).trimmed());
    return QString();
}

} // namespace

QString LookupDefault::evaluate(const PanelFieldText& panel) const
{
    if (!ertek.startsWith(QLatin1Char('#')))
        return defaultTerm(ertek, panel).value_or(QString());
    const qsizetype orAt = ertek.indexOf(QLatin1String(" OR "), 0, Qt::CaseInsensitive);
    const QString first = orAt < 0 ? ertek : ertek.left(orAt);
    if (const auto value = defaultTerm(first, panel))
        return *value;
    if (orAt < 0)
        return {};
    return defaultTerm(ertek.mid(orAt + 4, 40), panel).value_or(QString());
}

QList<LookupDefault> readLookupDefaults(const QString& module, QString* error)
{
    QList<LookupDefault> rows;
    if (!Tdm::instance().difolcExists())
        return rows;
    db::Query q(Tdm::connectionName);
    q.setLines({QStringLiteral("Select * "), QStringLiteral("From DIFOLC"),
                QStringLiteral("Where MODUL = :modul"), QStringLiteral("Order By SORREND")});
    q.bind(QStringLiteral("modul"), module.toUpper());
    if (!q.exec()) {
        if (error)
            *error = q.lastError();
        return rows;
    }
    while (q.next())
        rows << LookupDefault{q.text(QStringLiteral("MEZO")), q.text(QStringLiteral("ERTEK"))};
    return rows;
}

QString dictionaryCondition(const QString& szotWhere, const PanelFieldText& panel)
{
    const qsizetype hash = szotWhere.indexOf(QLatin1Char('#'));
    QString condition = hash < 0 ? szotWhere : szotWhere.left(hash);
    // The marker belongs to the stored condition, never to the value put into it.
    const qsizetype dollar = condition.indexOf(QLatin1Char('$'));
    if (dollar >= 0)
        condition.remove(dollar, 1);
    if (hash < 0)
        return condition;
    const auto value = panel(szotWhere.mid(hash + 1).trimmed());
    if (!value)
        return {};
    return condition + db::literal(*value);
}

} // namespace mivo
