#include "completion.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "platform/dbquery.h"
#include "platform/querymodel.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

std::optional<CompletionMode> completionModeOf(const QString& letter)
{
    if (letter == u"KI"_s)
        return CompletionMode::Document;
    if (letter == u"OK"_s)
        return CompletionMode::Correct;
    return std::nullopt;
}

JobState listedState(CompletionMode mode)
{
    return mode == CompletionMode::Document ? JobState::Assigned : JobState::Done;
}

std::optional<Activities> Activities::read(const QString& connectionName, QString* error)
{
    db::Query q(connectionName);
    q.setSql(u"SELECT * FROM TEVEKENYS ORDER BY NEV"_s);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    Activities a;
    while (q.next())
        a.m_all.push_back({q.text(u"KOD"_s), q.text(u"NEV"_s), q.integer(u"SORREND"_s)});
    return a;
}

QStringList Activities::names() const
{
    QStringList names;
    for (const Activity& a : m_all)
        names << a.nev;
    return names;
}

const Activity* Activities::byCode(const QString& kod) const
{
    for (const Activity& a : m_all) {
        if (a.kod == kod)
            return &a;
    }
    return nullptr;
}

const Activity* Activities::byName(const QString& nev) const
{
    for (const Activity& a : m_all) {
        if (a.nev == nev)
            return &a;
    }
    return nullptr;
}

const std::vector<SheetField>& sheetFields()
{
    using I = SheetInput;
    static const std::vector<SheetField> fields = {
        {u"SORSZAM"_s, u"e_sorszam"_s, I::Text, 6, {}},
        {u"VASARLAS"_s, u"e_vasarlas"_s, I::Date, 10, {}},
        {u"GAZATVETEL"_s, u"e_gazatvetel"_s, I::Date, 10, {}},
        {u"TELJMIN"_s, u"e_teljmin"_s, I::Number, 12, {}},
        {u"TELJMAX"_s, u"e_teljmax"_s, I::Number, 12, {}},
        {u"TELJHMV"_s, u"e_teljhmv"_s, I::Number, 12, {}},
        {u"EGONYOMASMIN"_s, u"e_egonyomasmin"_s, I::Number, 12, {}},
        {u"EGONYOMASMAX"_s, u"e_egonyomasmax"_s, I::Number, 12, {}},
        {u"EGONYOMASHMV"_s, u"e_egonyomashmv"_s, I::Number, 12, {}},
        {u"VIZNYOMAS"_s, u"e_viznyomas"_s, I::Number, 12, {}},
        {u"GAZNYOMAS"_s, u"e_gaznyomas"_s, I::Number, 12, {}},
        {u"GAZFAJTA"_s, u"e_gazfajta"_s, I::Text, 10, {}},
        {u"FUTESIREND"_s, u"e_futesirend"_s, I::Text, 3, {}},
        {u"MIKORI"_s, u"e_mikori"_s, I::Letter, 1, u"RU"_s},
        {u"GAZ_ES_MEG"_s, u"e_gazesmeg"_s, I::Text, 20, {}},
        {u"FELSZCEG"_s, u"e_felszceg"_s, I::Text, 60, {}},
        {u"FELSZIRSZAM"_s, u"e_felszirszam"_s, I::Text, 4, {}},
        {u"FELSZVAROS"_s, u"e_felszvaros"_s, I::Text, 40, {}},
        {u"FELSZUTCA"_s, u"e_felszutca"_s, I::Text, 40, {}},
        {u"UZEMBECEG"_s, u"e_uzembeceg"_s, I::Text, 60, {}},
        {u"UZEMBEIRSZAM"_s, u"e_uzembeirszam"_s, I::Text, 4, {}},
        {u"UZEMBEVAROS"_s, u"e_uzembevaros"_s, I::Text, 40, {}},
        {u"UZEMBEUTCA"_s, u"e_uzembeutca"_s, I::Text, 40, {}},
        {u"KERKARB"_s, u"e_kerkarb"_s, I::Letter, 1, u"IN"_s},
        {u"VIZKOKEZELO"_s, u"e_vizkokezelo"_s, I::Letter, 1, u"IN"_s},
        {u"VIZKOKTIP"_s, u"e_vizkoktip"_s, I::Text, 30, {}},
        {u"ISZAPSZURO"_s, u"e_iszapszuro"_s, I::Letter, 1, u"IN"_s},
        {u"ISZAPSZTIP"_s, u"e_iszapsztip"_s, I::Text, 30, {}},
        {u"THKABEL"_s, u"e_thkabel"_s, I::Letter, 1, u"IN"_s},
        {u"ATMOSAS"_s, u"e_atmosas"_s, I::Letter, 1, u"IN"_s},
        {u"HMV"_s, u"e_hmv"_s, I::Letter, 1, u"IN"_s},
        {u"SZAKVELEMENY"_s, u"e_szakvelemeny"_s, I::Letter, 1, u"I/N"_s},
        {u"EPH"_s, u"e_eph"_s, I::Letter, 1, u"I/N"_s},
        {u"OXIDIFF"_s, u"e_oxidiff"_s, I::Letter, 1, u"I/N"_s},
        {u"GAZMEO"_s, u"e_gazmeo"_s, I::Letter, 1, u"I/N"_s},
        {u"TOMORSEG"_s, u"e_tomorseg"_s, I::Text, 10, {}},
        {u"FELSZ"_s, u"e_felsz"_s, I::Text, 10, {}},
        {u"SZERELHETO"_s, u"e_szerelheto"_s, I::Text, 10, {}},
        {u"EGESTERMEK"_s, u"e_egestermek"_s, I::Text, 10, {}},
        {u"LEGELLATAS"_s, u"e_legellatas"_s, I::Text, 10, {}},
        {u"ELEKTR"_s, u"e_elektr"_s, I::Text, 10, {}},
        {u"KOMMENT"_s, u"e_egyeb"_s, I::Text, 200, {}},
    };
    return fields;
}

ListedJob listedJobAt(const data::QueryModel& list, int row)
{
    ListedJob j;
    if (row < 0 || row >= list.rowCount())
        return j;
    const auto t = [&](const char16_t* field) { return list.text(row, QString::fromUtf16(field)); };
    j.kod = list.value(row, u"KOD"_s).toInt();
    j.ugyfel = list.value(row, u"UGYFEL"_s).toInt();
    j.keszulek = list.value(row, u"KESZULEK"_s).toInt();
    j.tipus = list.value(row, u"TIPUS"_s).toInt();
    j.juzer = t(u"JUZER");
    j.lemondta = t(u"LEMONDTA");
    j.tervd = t(u"TERVD");
    j.szerelot = t(u"SZERELOT");
    j.tervtev = t(u"TERVTEV");
    j.tevnev = t(u"TEVNEV");
    j.keszuleknev = t(u"KESZULEKNEV");
    j.keszulekkod = t(u"KESZULEKKOD");
    j.leirast = t(u"LEIRAST");
    j.szamlaszam = t(u"SZAMLASZAM");
    j.munkaszam = t(u"MUNKASZAM");
    j.munkatev = t(u"MUNKATEV");
    j.leirasm = t(u"LEIRASM");
    j.szerelom = t(u"SZERELOM");
    Customer& c = j.customer;
    c.kod = j.ugyfel;
    c.nev = t(u"UGYFELNEV");
    c.irszam = t(u"IRSZAM");
    c.varos = t(u"VAROS");
    c.utca = t(u"UTCA");
    c.telefon = t(u"TELEFON");
    c.fax = t(u"FAX");
    c.email = t(u"EMAIL");
    c.komment = t(u"KOMMENT");
    c.komment2 = t(u"KOMMENT2");
    return j;
}

QString Completion::sheetNumber() const
{
    const auto it = loadedSheet.find(u"SORSZAM"_s);
    return it == loadedSheet.end() ? QString() : it->second.toString().trimmed();
}

namespace
{

// A number as the page shows it: decimal comma, NULL as nothing.
QString shownValue(const QVariant& v)
{
    if (v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return alt::formatDecimal(v.toDouble());
    default:
        return v.toString().trimmed();
    }
}

// The appliance's sheet into the page; without a sheet the own company is proposed as the
// commissioner.
bool applyAppliance(Completion& c, const ApplianceRecord& record, const QString& connection,
                    QString* error)
{
    c.loadedSheet = record.sheet;
    c.applianceTipus = record.tipus;
    c.applianceBeuzemeles = record.beuzemeles;
    c.sheet.clear();
    for (const SheetField& f : sheetFields()) {
        const auto it = record.sheet.find(f.column);
        c.sheet[f.column] = it == record.sheet.end() ? QString() : shownValue(it->second);
    }
    for (const QString& code : {u"FELSZCEGKOD"_s, u"UZEMBEKOD"_s}) {
        const auto it = record.sheet.find(code);
        c.sheet[code] = it == record.sheet.end() ? QString() : shownValue(it->second);
    }
    c.sheetSerial = c.hasSheet() ? shownValue(record.sheet.at(u"GYARISZAM"_s)) : QString();
    if (c.hasSheet())
        return true;
    db::Query own(connection);
    own.setSql(ownCompanyStatement());
    own.bind(u"kod"_s, Td::instance().ownCompany);
    if (!own.exec()) {
        *error = own.lastError();
        return false;
    }
    if (own.first()) {
        c.sheet[u"UZEMBEKOD"_s] = Td::instance().ownCompany;
        c.sheet[u"UZEMBECEG"_s] = own.text(u"NEV"_s);
        c.sheet[u"UZEMBEIRSZAM"_s] = own.text(u"IRSZAM"_s);
        c.sheet[u"UZEMBEVAROS"_s] = own.text(u"VAROS"_s);
        c.sheet[u"UZEMBEUTCA"_s] = own.text(u"UTCA"_s);
    }
    return true;
}

} // namespace

QString technicianStatement()
{
    return u"Select NEV From SZERELO Where KOD = :kod"_s;
}

QString ownCompanyStatement()
{
    return u"SELECT NEV, IRSZAM, VAROS, UTCA FROM KULSOCEG WHERE KOD = :kod"_s;
}

std::optional<QString> technicianName(const QString& kod, const QString& connectionName,
                                      QString* error)
{
    if (kod.isEmpty())
        return QString();
    db::Query q(connectionName);
    q.setSql(technicianStatement());
    q.bind(u"kod"_s, kod);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    return q.first() ? q.text(u"NEV"_s) : QString();
}

std::optional<Completion> loadCompletion(const ListedJob& job, CompletionMode mode,
                                         const Activities& activities,
                                         const QString& connectionName, QString* error)
{
    Completion c;
    c.mode = mode;
    c.job = job;
    const std::optional<ApplianceRecord> record =
        ApplianceRepository(connectionName).load(job.keszulek, error);
    if (!record)
        return std::nullopt;

    c.munkad = job.tervd;
    const bool correcting = mode == CompletionMode::Correct;
    c.munkaszam = correcting ? job.munkaszam : QString();
    c.leirasm = correcting ? job.leirasm : QString();
    c.szerelom = correcting ? job.szerelom : job.szerelot;
    c.szamlaszam = job.szamlaszam;
    c.hiba = job.tevnev;
    const std::optional<QString> planned = technicianName(job.szerelot, connectionName, error);
    const std::optional<QString> performer = technicianName(c.szerelom, connectionName, error);
    if (!planned || !performer)
        return std::nullopt;
    c.szerelotNev = *planned;
    c.szerelomNev = *performer;
    if (const Activity* done = activities.byCode(job.munkatev); done && !job.munkatev.isEmpty())
        c.tevekenyseg = done->nev;

    c.customer = job.customer;
    c.remembered = job.customer;

    c.keszulek = job.keszulek;
    c.tipusKod = job.keszulekkod;
    c.tipusNev = job.keszuleknev;
    c.tipus = record->found ? record->tipus : job.tipus;
    c.gyariszam = record->gyariszam;
    if (!applyAppliance(c, *record, connectionName, error))
        return std::nullopt;

    const Activity* plannedActivity = activities.byCode(job.tervtev);
    c.partsShown = plannedActivity && plannedActivity->sorrend == 3;
    const std::optional<JobParts> parts =
        JobRepository(connectionName).recordedParts(job.kod, error);
    if (!parts)
        return std::nullopt;
    c.parts = parts->rows;
    c.gjsorszam = parts->gjsorszam != 0 ? QString::number(parts->gjsorszam) : QString();
    return c;
}

bool takeAppliance(Completion& c, int keszulek, const QString& gyariszam,
                   const QString& connectionName, QString* error)
{
    const std::optional<ApplianceRecord> record =
        ApplianceRepository(connectionName).load(keszulek, error);
    if (!record)
        return false;
    c.keszulek = keszulek;
    c.gyariszam = gyariszam;
    if (record->found)
        c.tipus = record->tipus;
    if (!applyAppliance(c, *record, connectionName, error))
        return false;
    // The chosen serial counts as the sheet's, so that storing does not ask about it.
    c.sheetSerial = gyariszam;
    return true;
}

std::optional<std::optional<PartRow>> partByCode(const QString& code, const QString& connectionName,
                                                 QString* error)
{
    db::Query q(connectionName);
    q.setSql(u"Select NEV,BELSOKOD From ARU Where KOD = :kod And JELLEG='A'"_s);
    q.bind(u"kod"_s, code);
    if (!q.exec()) {
        *error = q.lastError();
        return std::nullopt;
    }
    if (!q.first())
        return std::optional<PartRow>();
    PartRow row;
    row.code = code;
    row.name = q.text(u"NEV"_s);
    row.belsokod = q.integer(u"BELSOKOD"_s);
    return std::optional<PartRow>(row);
}

namespace
{

QString dateValue(const QString& text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || alt::isBlankDate(t) || !alt::validateDate(t, false))
        return t;
    return alt::formatDate(alt::parseDate(t));
}

QString textOf(const std::map<QString, QString>& sheet, const QString& column)
{
    const auto it = sheet.find(column);
    return it == sheet.end() ? u""_s : (it->second.isNull() ? u""_s : it->second);
}

} // namespace

RowValues sheetRow(const Completion& c)
{
    RowValues row;
    for (const SheetField& f : sheetFields()) {
        const QString text = textOf(c.sheet, f.column);
        switch (f.input) {
        case SheetInput::Number: {
            bool ok = false;
            const double value = alt::parseDecimal(text, &ok);
            row[f.column] = ok ? value : 0.0;
            break;
        }
        case SheetInput::Date:
            row[f.column] = dateValue(text);
            break;
        case SheetInput::Text:
        case SheetInput::Letter:
            row[f.column] = text;
            break;
        }
    }
    row[u"SORSZAM"_s] = textOf(c.sheet, u"SORSZAM"_s).trimmed();
    row[u"FELSZCEGKOD"_s] = textOf(c.sheet, u"FELSZCEGKOD"_s);
    row[u"UZEMBEKOD"_s] = textOf(c.sheet, u"UZEMBEKOD"_s);
    row[u"TELJESITMENY"_s] = row[u"TELJMIN"_s];
    row[u"KESZULEK"_s] = c.keszulek;
    row[u"UGYFEL"_s] = c.customer.kod;
    row[u"TIPUS"_s] = c.tipus;
    row[u"GYARISZAM"_s] = c.gyariszam;
    row[u"SZLASZ"_s] = c.szamlaszam;
    row[u"ROGZDAT"_s] = alt::today();
    row[u"BEUZEMELES"_s] = dateValue(c.munkad);
    return row;
}

namespace
{

bool isNumeric(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::LongLong:
        return true;
    default:
        return false;
    }
}

QString canonical(const QVariant& v, bool numeric)
{
    if (numeric)
        return QString::number(v.isNull() ? 0.0 : v.toDouble(), 'g', 15);
    return v.isNull() ? QString() : v.toString().trimmed();
}

} // namespace

bool sheetDiffers(const RowValues& loaded, const RowValues& written)
{
    static const QStringList ignored = {u"FELSZCEGKOD"_s, u"UZEMBEKOD"_s, u"ROGZDAT"_s,
                                        u"BEUZEMELES"_s, u"SORSZAM"_s};
    for (const QString& column : ApplianceRepository::sheetColumns()) {
        if (ignored.contains(column))
            continue;
        const auto w = written.find(column);
        const QVariant writtenValue = w == written.end() ? QVariant() : w->second;
        const auto l = loaded.find(column);
        const QVariant loadedValue = l == loaded.end() ? QVariant() : l->second;
        const bool numeric = isNumeric(writtenValue) || isNumeric(loadedValue);
        if (canonical(loadedValue, numeric) != canonical(writtenValue, numeric))
            return true;
    }
    return false;
}

std::vector<UsedPart> usedParts(const Completion& c)
{
    std::vector<UsedPart> parts;
    for (const PartRow& row : c.parts) {
        const int quantity = alt::parseInteger(row.quantity);
        if (row.code.trimmed().isEmpty() || row.belsokod == 0 || quantity == 0)
            continue;
        parts.push_back({row.code.trimmed(), row.belsokod, quantity});
    }
    return parts;
}

} // namespace mivo::workflow
