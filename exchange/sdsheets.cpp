// The commissioning-sheet section of the SD import: every sheet becomes a customer, an
// appliance, a sheet row and its jobs, written whole or not at all.
#include "sdimport.h"

#include "core/altproc.h"
#include "core/clock.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QSqlField>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

// Sheets per transaction: a commit costs tens of milliseconds on a disk with slow syncs.
constexpr int sheetsPerCommit = 2000;

const QString maker = u"Saunier Duval"_s;

struct Coupon {
    QString part, date, technician, jobSheet;
    QVariant number;
};

// "Beüz" + digits: the number after the prefix, 0 when the rest is not a number.
int typeNumber(const QString& code)
{
    bool ok = false;
    const int n = code.mid(4).toInt(&ok);
    return ok ? n : 0;
}

// Runs q with the values; false with its error in *error.
bool execWith(db::Query& q, const std::map<QString, QVariant>& values, QString* error)
{
    for (const auto& [name, value] : values)
        q.bind(name, value);
    if (q.exec())
        return true;
    *error = q.lastError();
    return false;
}

QVariant returned(db::Query& q, const std::map<QString, QVariant>& values, QString* error)
{
    for (const auto& [name, value] : values)
        q.bind(name, value);
    const QVariant key = q.insertReturning();
    if (key.isNull())
        *error = q.lastError();
    return key;
}

} // namespace

QString SdImport::sdText(const db::Query& q, const QString& field)
{
    const QVariant v = q.value(field);
    switch (v.typeId()) {
    case QMetaType::QDate:
        return alt::formatDate(v.toDate());
    case QMetaType::QDateTime:
        return v.toDateTime().toString(u"yyyy.MM.dd hh:mm:ss"_s);
    default:
        return q.text(field);
    }
}

// The filter of the sheets to import; the dates bound as the kind of the SD column (a DATE
// column compared with a text would depend on the server's date format).
bool SdImport::sheetFilter(const SdImportOptions& options, QStringList* lines,
                           std::map<QString, QVariant>* values)
{
    db::Query shape(m_source);
    shape.setSql(u"Select BEUZEMELES From BEUZLAP Where 1=2"_s);
    if (!ran(shape))
        return false;
    const bool dateColumn = shape.record().field(0).metaType().id() == QMetaType::QDate ||
                            shape.record().field(0).metaType().id() == QMetaType::QDateTime;
    const auto date = [dateColumn](const QString& text) -> QVariant {
        if (dateColumn)
            return alt::parseDate(text);
        return text;
    };
    *lines << u"Where SZERVIZKP=:szkp"_s;
    (*values)[u"szkp"_s] = options.serviceCentre;
    if (!options.from.isEmpty()) {
        *lines << u"AND BEUZEMELES>=:tol"_s;
        (*values)[u"tol"_s] = date(options.from);
    }
    if (!options.to.isEmpty()) {
        *lines << u"AND BEUZEMELES<=:ig"_s;
        (*values)[u"ig"_s] = date(options.to);
    }
    const QStringList own = m_technicians.split(u',', Qt::SkipEmptyParts);
    if (!own.isEmpty()) {
        QStringList names;
        for (int i = 0; i < own.size(); ++i) {
            names << u":sz"_s + QString::number(i);
            (*values)[u"sz"_s + QString::number(i)] = own[i].trimmed();
        }
        *lines << u"AND SZERELO in ("_s + names.join(u',') + u')';
    }
    return true;
}

bool SdImport::importSheets(const SdImportOptions& options)
{
    write(u"Ügyfelek adatai"_s);
    QStringList filter;
    std::map<QString, QVariant> filterValues;
    if (!sheetFilter(options, &filter, &filterValues))
        return false;

    db::Query count(m_source);
    count.setLines(QStringList{u"Select Count(*) From BEUZLAP"_s} + filter);
    if (!execWith(count, filterValues, &m_error) || !count.next())
        return false;
    m_counts.sheets = count.value(0).toInt();
    write(u"Tételszám: "_s + QString::number(m_counts.sheets));

    // The coupons of the selected sheets in one reading, by sheet number.
    QHash<QString, std::vector<Coupon>> coupons;
    {
        db::Query q(m_source);
        q.setLines(QStringList{u"SELECT * FROM SZELVENY WHERE SORSZAM IN"_s,
                               u"(Select SORSZAM From BEUZLAP"_s} +
                   filter + QStringList{u")"_s});
        for (const auto& [name, value] : filterValues)
            q.bind(name, value);
        if (!q.execForward()) {
            m_error = q.lastError();
            return false;
        }
        while (q.next())
            coupons[sdText(q, u"SORSZAM"_s)].push_back(
                {sdText(q, u"ALKATRESZ"_s), sdText(q, u"DATUM"_s), sdText(q, u"SZERELO"_s),
                 sdText(q, u"MUNKALAP"_s), q.value(u"SZELVENY"_s)});
    }

    // Types by their lower-case name and parts by code, for the whole run.
    QHash<QString, QVariant> types, parts;
    int typeCounter = 0;
    {
        db::Query q(m_target);
        q.setSql(u"SELECT BELSOKOD, KOD, NEV FROM ARU ORDER BY BELSOKOD"_s);
        if (!ran(q))
            return false;
        while (q.next()) {
            const QVariant key = q.value(0);
            const QString code = q.text(u"KOD"_s);
            if (!q.value(u"NEV"_s).isNull() && !types.contains(q.text(u"NEV"_s).toLower()))
                types.insert(q.text(u"NEV"_s).toLower(), key);
            if (!parts.contains(code))
                parts.insert(code, key);
            // By number: "Beüz999" sorts after "Beüz1000" as text.
            if (code.startsWith(u"Beüz"_s))
                typeCounter = std::max(typeCounter, typeNumber(code));
        }
    }

    // Sheet numbers already taken, and customers when the clearing emptied their table: both
    // known to this run alone, so not asked for sheet by sheet.
    QSet<QString> taken;
    {
        db::Query q(m_target);
        q.setSql(u"SELECT SORSZAM FROM BEUZLAP"_s);
        if (!q.execForward()) {
            m_error = q.lastError();
            return false;
        }
        while (q.next())
            taken.insert(q.text(u"SORSZAM"_s));
    }
    QHash<QString, QVariant> newCustomers;
    const bool customersCleared = options.clear;

    db::Query sheets(m_source);
    sheets.setLines(QStringList{u"Select * "_s, u"From BEUZLAP"_s} + filter +
                    QStringList{u"Order By VEVONEV"_s});
    for (const auto& [name, value] : filterValues)
        sheets.bind(name, value);
    if (!sheets.execForward()) {
        m_error = sheets.lastError();
        return false;
    }

    // Prepared once per transaction.
    db::Query savepoint(m_target), undo(m_target), findCustomer(m_target), newCustomer(m_target),
        newArticle(m_target), newAppliance(m_target), newSheet(m_target), newJob(m_target),
        newJobPart(m_target);
    savepoint.setSql(u"SAVEPOINT SD_LAP"_s);
    undo.setSql(u"ROLLBACK TO SAVEPOINT SD_LAP"_s);
    findCustomer.setSql(
        u"SELECT KOD FROM UGYFEL WHERE NEV = :nev AND VAROS = :varos AND UTCA = :utca"_s);
    newCustomer.setSql(u"INSERT INTO UGYFEL (NEV, IRSZAM, VAROS, UTCA, TELEFON, KOMMENT)\n"
                       u"VALUES (:nev, :irszam, :varos, :utca, :telefon, 'new')\nRETURNING KOD"_s);
    newArticle.setSql(u"INSERT INTO ARU (KOD, NEV, NEV2, M_EGYSEG, CSOPORT2, JELLEG, SZKOD, "
                      u"AKTIV)\nVALUES (:kod, :nev, :nev2, 'DB', 'n', :jelleg, :szkod, 'I')"
                      u"\nRETURNING BELSOKOD"_s);
    newAppliance.setSql(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM)\nVALUES (:ugyfel, "
                        u":tipus, :gyariszam)\nRETURNING KOD"_s);
    newJob.setSql(u"INSERT INTO MUNKA (ALLAPOT, UGYFEL, KESZULEK, TIPUS, FELVETELD, TERVD, "
                  u"TERVTEV, SZERELOT, MUNKAD, SZERELOM, MUNKATEV, JUZER, LEIRASM, MUNKASZAM, "
                  u"KULD)\nVALUES ('OK', :ugyfel, :keszulek, :tipus, :datum, :datum, :tev, "
                  u":szerelo, :datum, :szerelo, :tev, :juzer, :leiras, :munkaszam, -1)"
                  u"\nRETURNING KOD"_s);
    newJobPart.setSql(u"INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, MENNYISEG, GJSORSZAM, KESZULEK, "
                      u"TIPUS)\nVALUES (:kod, :alkatresz, 1, :gjsorszam, :keszulek, :tipus)"_s);
    static const QString textColumns[] = {
        u"GYARISZAM"_s,   u"VASARLAS"_s,   u"GAZATVETEL"_s, u"FUTESIREND"_s, u"MIKORI"_s,
        u"FELSZCEG"_s,    u"GAZ_ES_MEG"_s, u"UZEMBECEG"_s,  u"SZLASZ"_s,     u"KERKARB"_s,
        u"VIZKOKEZELO"_s, u"ISZAPSZURO"_s, u"VIZKOKTIP"_s,  u"ISZAPSZTIP"_s, u"BEUZEMELES"_s};
    static const QString numberColumns[] = {u"TELJESITMENY"_s, u"VIZNYOMAS"_s, u"GAZNYOMAS"_s};
    {
        QStringList columns{u"SORSZAM"_s,     u"KESZULEK"_s,     u"TIPUS"_s,       u"UGYFEL"_s,
                            u"FELSZCEGKOD"_s, u"FELSZIRSZAM"_s,  u"FELSZVAROS"_s,  u"FELSZUTCA"_s,
                            u"UZEMBEKOD"_s,   u"UZEMBEIRSZAM"_s, u"UZEMBEVAROS"_s, u"UZEMBEUTCA"_s};
        for (const QString& c : textColumns)
            columns << c;
        for (const QString& c : numberColumns)
            columns << c;
        QStringList params;
        for (const QString& c : columns)
            params << u':' + c.toLower();
        newSheet.setSql(u"INSERT INTO BEUZLAP ("_s + columns.join(u", "_s) + u")\nVALUES ("_s +
                        params.join(u", "_s) + u')');
    }

    // Names, addresses and remarks are cut to their columns; codes are not.
    const auto cut = [](const QString& text, int length) { return text.left(length); };

    // Writes one sheet; false with the database's text in *error.
    const auto writeSheet = [&](const QString& number, QString* error) -> bool {
        const QString typeName = sdText(sheets, u"TIPUS"_s);
        // Found also when the case differs ("új" against "Új"), in any letter.
        QVariant type = types.value(typeName.toLower());
        if (type.isNull()) {
            type = returned(
                newArticle,
                {{u"kod"_s, u"Beüz"_s + alt::padLeft(QString::number(typeCounter + 1), u'0', 3)},
                 {u"nev"_s, cut(typeName, 60)},
                 {u"nev2"_s, maker},
                 {u"jelleg"_s, u"K"_s},
                 {u"szkod"_s, QString()}},
                error);
            if (type.isNull())
                return false;
            ++typeCounter;
            types.insert(typeName.toLower(), type);
        }
        // A sheet without name or city stays with customer 0.
        QVariant customer = 0;
        const QString name = cut(sdText(sheets, u"VEVONEV"_s), 60);
        const QString city = cut(sdText(sheets, u"VAROS"_s), 40);
        const QString street = cut(sdText(sheets, u"UTCA"_s), 40);
        if (!name.isEmpty() && !city.isEmpty()) {
            const QString who = name + u'\n' + city + u'\n' + street;
            if (customersCleared) {
                customer = newCustomers.value(who);
            } else {
                if (!execWith(findCustomer,
                              {{u"nev"_s, name}, {u"varos"_s, city}, {u"utca"_s, street}}, error))
                    return false;
                customer = findCustomer.next() ? findCustomer.value(0) : QVariant();
            }
            if (customer.isNull()) {
                customer = returned(newCustomer,
                                    {{u"nev"_s, name},
                                     {u"irszam"_s, cut(sdText(sheets, u"IRSZAM"_s), 4)},
                                     {u"varos"_s, city},
                                     {u"utca"_s, street},
                                     {u"telefon"_s, cut(sdText(sheets, u"TELEFON"_s), 40)}},
                                    error);
                if (customer.isNull())
                    return false;
                if (customersCleared)
                    newCustomers.insert(who, customer);
            }
        }
        const QVariant appliance = returned(newAppliance,
                                            {{u"ugyfel"_s, customer},
                                             {u"tipus"_s, type},
                                             {u"gyariszam"_s, sdText(sheets, u"GYARISZAM"_s)}},
                                            error);
        if (appliance.isNull())
            return false;

        const SdAddress installer = splitAddress(sdText(sheets, u"FELSZCEGCIM"_s));
        const SdAddress commissioner = splitAddress(sdText(sheets, u"UZEMBECIM"_s));
        std::map<QString, QVariant> row{
            {u"sorszam"_s, number},
            {u"keszulek"_s, appliance},
            {u"tipus"_s, type},
            {u"ugyfel"_s, customer},
            {u"felszcegkod"_s, QString()},
            {u"felszirszam"_s, installer.postalCode},
            {u"felszvaros"_s, installer.city},
            {u"felszutca"_s, installer.street},
            {u"uzembekod"_s, u"new"_s},
            {u"uzembeirszam"_s, commissioner.postalCode},
            {u"uzembevaros"_s, commissioner.city},
            {u"uzembeutca"_s, commissioner.street},
        };
        for (const QString& c : textColumns)
            row[c.toLower()] = sdText(sheets, c);
        row[u"felszceg"_s] = cut(sdText(sheets, u"FELSZCEG"_s), 60);
        row[u"uzembeceg"_s] = cut(sdText(sheets, u"UZEMBECEG"_s), 60);
        for (const QString& c : numberColumns)
            row[c.toLower()] = sheets.value(c);
        if (!execWith(newSheet, row, error))
            return false;

        const auto job = [&](const QString& date, const QString& activity,
                             const QString& technician, const QString& text,
                             const QString& jobNumber) {
            return returned(newJob,
                            {{u"ugyfel"_s, customer},
                             {u"keszulek"_s, appliance},
                             {u"tipus"_s, type},
                             {u"datum"_s, date},
                             {u"tev"_s, activity},
                             {u"szerelo"_s, technician},
                             {u"juzer"_s, options.user},
                             {u"leiras"_s, text},
                             {u"munkaszam"_s, jobNumber}},
                            error);
        };
        if (job(sdText(sheets, u"BEUZEMELES"_s), u"ÜZ"_s, sdText(sheets, u"SZERELO"_s),
                number + u" / "_s + sdText(sheets, u"GYARISZAM"_s), u"new"_s)
                .isNull())
            return false;
        for (int n = 1; n <= 3; ++n) {
            const QString i = QString::number(n);
            const QString visitTechnician = sdText(sheets, u"GJSZKOD"_s + i);
            if (visitTechnician.isEmpty())
                continue;
            if (job(sdText(sheets, u"GJDATUM"_s + i), u"KAR"_s, visitTechnician,
                    sdText(sheets, u"GJSZLASZ"_s + i), u"newg"_s + i)
                    .isNull())
                return false;
        }

        for (const Coupon& c : coupons.value(number)) {
            QVariant part = parts.value(c.part);
            if (part.isNull()) {
                part = returned(newArticle,
                                {{u"kod"_s, c.part},
                                 {u"nev"_s, c.part},
                                 {u"nev2"_s, maker},
                                 {u"jelleg"_s, u"A"_s},
                                 {u"szkod"_s, c.part}},
                                error);
                if (part.isNull())
                    return false;
                parts.insert(c.part, part);
            }
            const QVariant jobKey =
                job(c.date, u"GJ"_s, c.technician, u"new"_s + c.number.toString() + u". szelvény"_s,
                    c.jobSheet.left(6));
            if (jobKey.isNull())
                return false;
            if (!execWith(newJobPart,
                          {{u"kod"_s, jobKey},
                           {u"alkatresz"_s, part},
                           {u"gjsorszam"_s, c.number},
                           {u"keszulek"_s, appliance},
                           {u"tipus"_s, type}},
                          error))
                return false;
        }
        return true;
    };

    std::optional<db::Transaction> unit;
    const auto begin = [&] {
        unit.emplace(m_target);
        if (unit->isActive())
            return true;
        m_error = unit->lastError();
        return false;
    };
    const auto commit = [&] {
        const bool ok = unit->commit();
        if (!ok)
            m_error = unit->lastError();
        unit.reset();
        return ok;
    };
    if (!begin())
        return false;
    // A failure keeps the whole sheets written so far: the failing sheet is undone to its
    // savepoint and the rest committed.
    const auto stop = [&](const QString& error, bool undoSheet) {
        QString ignored;
        if (undoSheet)
            execWith(undo, {}, &ignored);
        commit();
        m_error = error;
        return false;
    };
    int done = 0, inUnit = 0;
    while (sheets.next()) {
        const QString number = sdText(sheets, u"SORSZAM"_s);
        QString error;
        if (taken.contains(number)) {
            write(u"Már átvett lap: "_s + number);
        } else {
            if (!execWith(savepoint, {}, &error))
                return stop(error, false);
            if (!writeSheet(number, &error))
                return stop(error, true);
            taken.insert(number);
            ++m_counts.applianceNew;
        }
        progress(3, ++done, m_counts.sheets);
        if (++inUnit == sheetsPerCommit) {
            inUnit = 0;
            if (!commit() || !begin())
                return false;
        }
    }
    if (!commit())
        return false;
    write(u"Kész."_s + clock::now().toString(u"hh:mm:ss"_s));
    return true;
}

} // namespace mivo::exchange
