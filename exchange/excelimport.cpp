#include "excelimport.h"

#include "core/altproc.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

#include <memory>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

namespace
{

const QString importedDescription = u"XLS-ből beolvasott"_s;

QString cell(const QStringList& cells, int column, int length = -1)
{
    const QString text = cells.value(column).trimmed();
    return length < 0 ? text : text.left(length);
}

/// A dated entry "20yy..." whose year lies after today goes back a century.
QString centuryOf(const QString& date, const QDate& today)
{
    const QDate parsed = alt::parseDate(date);
    if (parsed.isValid() && parsed > today)
        return u"19"_s + date.mid(2);
    return date;
}

void bindAddress(db::Query& query, const QString& name, const QString& postalCode,
                 const QString& city, const QString& street, const QString& phone)
{
    query.bind(u"nev"_s, name);
    query.bind(u"irszam"_s, postalCode.left(4));
    query.bind(u"varos"_s, city);
    query.bind(u"utca"_s, street);
    query.bind(u"telefon"_s, phone.left(40));
}

} // namespace

SheetLayout layoutForCompany(const QString& companyCode)
{
    const QString code = companyCode.trimmed().toUpper();
    if (code == u"RVN"_s)
        return SheetLayout::RegisterWithSerial;
    if (code == u"DORVANA"_s)
        return SheetLayout::Register;
    return SheetLayout::History;
}

QString typeCode(const QString& typeName)
{
    QString code = typeName.toUpper();
    code.remove(u' ');
    static const std::pair<QString, QString> replacements[] = {
        {u"THEMACLASSIC"_s, u"TC"_s}, {u"RENOVAMINI"_s, u"RM"_s}, {u"RENOVASTAR"_s, u"RS"_s},
        {u"RENOVA"_s, u"R"_s},        {u"ISOTWIN"_s, u"I"_s},     {u"BERETTA"_s, u"B"_s},
        {u"CHAFFOTEAUX"_s, u"CH"_s},
    };
    for (const auto& [from, to] : replacements)
        code.replace(from, to);
    return code.left(15);
}

QStringList dateList(const QString& cellText, bool repair, const QDate& today)
{
    QString text = cellText;
    text.remove(u' ');
    QStringList dates;
    for (QString entry : text.split(u',')) {
        entry = entry.left(80);
        if (entry.size() == 6)
            entry = centuryOf(u"20"_s + entry + u"01"_s, today);
        else if (entry.size() == 9)
            entry = centuryOf(u"20"_s + entry.left(8), today);
        else if (repair && entry.size() == 11)
            entry = entry.left(10);
        if (!entry.isEmpty() && alt::validateDate(entry, false))
            dates.append(entry);
    }
    return dates;
}

RepairList repairList(const QString& cellText, const QDate& today)
{
    RepairList list;
    list.activity = cellText.toLower().contains(u"gar"_s) ? u"GJ"_s : u"J"_s;
    QString text = cellText;
    for (const QString& marker : {u"gar."_s, u"gar"_s, u"fiz."_s, u"fiz"_s})
        text.remove(marker, Qt::CaseInsensitive);
    list.dates = dateList(text, true, today);
    return list;
}

QString findFileAnyCase(const QString& path)
{
    const QFileInfo info(path);
    if (path.trimmed().isEmpty())
        return {};
    if (info.isFile())
        return info.absoluteFilePath();
    const QDir folder = info.absoluteDir();
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden))
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return folder.absoluteFilePath(name);
    return {};
}

ExcelImport::ExcelImport(const QString& connectionName) : m_connection(connectionName) {}

int ExcelImport::jobCount(QString* error) const
{
    db::Query query(m_connection);
    query.setSql(u"Select Count(*) MUNKADB From MUNKA"_s);
    if (!query.exec() || !query.first()) {
        if (error)
            *error = query.lastError();
        return -1;
    }
    return query.integer(u"MUNKADB"_s);
}

bool ExcelImport::open(const QString& path, QString* error)
{
    if (m_reader.open(path))
        return true;
    if (error)
        *error =
            u"A fájl nem olvasható: "_s + QFileInfo(path).fileName() + u"\n"_s + m_reader.error();
    return false;
}

bool ExcelImport::clear(QString* error)
{
    QStringList statements;
    // Tables keyed by jobs and appliances go too: their keys restart with the generators.
    for (const QString& table : {u"MUNKA_ALK"_s, u"BEUZLAP"_s, u"MUNKA_LOG"_s, u"LEVELKE"_s}) {
        QString failure;
        const QVariant present = db::scalar(
            m_connection, u"Select Count(*) From RDB$RELATIONS Where RDB$RELATION_NAME = :name"_s,
            {{u"name"_s, table}}, &failure);
        if (!failure.isEmpty()) {
            if (error)
                *error = failure;
            return false;
        }
        if (present.toInt() > 0)
            statements.append(u"DELETE FROM "_s + table);
    }
    statements << u"DELETE FROM UGYFEL"_s << u"SET GENERATOR GEN_UGYFEL TO 0"_s
               << u"DELETE FROM MUNKA"_s << u"SET GENERATOR GEN_MUNKA TO 0"_s
               << u"DELETE FROM KESZULEK"_s << u"SET GENERATOR GEN_KESZULEK TO 0"_s;
    for (const QString& sql : statements)
        if (!db::execute(m_connection, sql, {}, error))
            return false;
    return true;
}

ExcelImport::Result ExcelImport::run(SheetLayout layout, int firstRow,
                                     const std::function<void(int row)>& progress)
{
    Result result;
    const QDate today = alt::parseDate(alt::today());
    const bool history = layout == SheetLayout::History;
    const bool withSerial = layout == SheetLayout::RegisterWithSerial;
    if (history)
        firstRow = 2;

    auto transaction = std::make_unique<db::Transaction>(m_connection);
    int sinceCommit = 0;

    db::Query customerUpsert(m_connection);
    customerUpsert.setSql(u"update or Insert Into UGYFEL (NEV, IRSZAM, VAROS, UTCA, TELEFON) "
                          u"Values (:nev, :irszam, :varos, :utca, :telefon) "
                          u"MATCHING (NEV, VAROS, UTCA) RETURNING KOD"_s);
    db::Query customerInsert(m_connection);
    customerInsert.setSql(u"Insert Into UGYFEL (NEV, IRSZAM, VAROS, UTCA, TELEFON, KOD, KOMMENT) "
                          u"Values (:nev, :irszam, :varos, :utca, :telefon, :kod, :komment)"_s);
    db::Query typeFind(m_connection);
    typeFind.setSql(history
                        ? u"Select BELSOKOD From ARU Where KOD = :kod"_s
                        : u"Select KOD,BELSOKOD From ARU Where Upper(NEV) = :nev Or KOD = :kod"_s);
    db::Query typeInsert(m_connection);
    typeInsert.setSql(u"Insert Into ARU (KOD,NEV,NEV2,JELLEG,AKTIV,M_EGYSEG) "
                      u"Values (:kod,:nev,:nev2,'K','I','DB') RETURNING BELSOKOD"_s);
    db::Query applianceFind(m_connection);
    applianceFind.setSql(u"SELECT KOD From KESZULEK Where UGYFEL = :ugyfel AND TIPUS = :tipus"_s);
    db::Query applianceFindSerial(m_connection);
    applianceFindSerial.setSql(u"SELECT KOD From KESZULEK Where UGYFEL = :ugyfel "
                               u"AND TIPUS = :tipus And GYARISZAM = :gyariszam"_s);
    db::Query applianceInsert(m_connection);
    applianceInsert.setSql(u"INSERT INTO KESZULEK (UGYFEL, TIPUS, GYARISZAM) "
                           u"VALUES (:ugyfel, :tipus, :gyariszam) RETURNING KOD"_s);
    // KULD -1: imported history is never handed over to the service program.
    db::Query jobInsert(m_connection);
    jobInsert.setSql(u"INSERT INTO MUNKA (ALLAPOT, KESZULEK, UGYFEL, TIPUS, MUNKAD, SZERELOM, "
                     u"MUNKATEV, MUNKASZAM, LEIRASM, KULD) Values ('OK', :keszulek, :ugyfel, "
                     u":tipus, :munkad, :szerelom, :munkatev, :munkaszam, :leirasm, -1)"_s);

    QHash<QString, QVariant> types;
    const auto fail = [&result](const QString& message) {
        result.ok = false;
        result.error = message;
        return false;
    };
    const auto failed = [&fail](const db::Query& query) { return fail(query.lastError()); };

    const auto findOrAddType = [&](const QString& name, const QString& maker, QVariant* key) {
        const QString code = typeCode(name);
        const QString cacheKey = name.toUpper() + u'\n' + code;
        if (const auto it = types.constFind(cacheKey); it != types.constEnd()) {
            *key = *it;
            return true;
        }
        typeFind.bind(u"kod"_s, code);
        if (!history)
            typeFind.bind(u"nev"_s, name.toUpper());
        if (!typeFind.exec())
            return failed(typeFind);
        if (typeFind.first()) {
            *key = typeFind.value(u"BELSOKOD"_s);
        } else {
            typeInsert.bind(u"kod"_s, code);
            typeInsert.bind(u"nev"_s, name.left(60));
            typeInsert.bind(u"nev2"_s, maker.left(60));
            *key = typeInsert.insertReturning();
            if (key->isNull())
                return failed(typeInsert);
        }
        typeFind.close();
        types.insert(cacheKey, *key);
        return true;
    };
    const auto addJob = [&](const QVariant& appliance, const QVariant& customer,
                            const QVariant& type, const QString& date, const QString& technician,
                            const QString& activity, const QString& sheet,
                            const QString& description) {
        jobInsert.bind(u"keszulek"_s, appliance);
        jobInsert.bind(u"ugyfel"_s, customer);
        jobInsert.bind(u"tipus"_s, type);
        jobInsert.bind(u"munkad"_s, date.left(10));
        jobInsert.bind(u"szerelom"_s, technician);
        jobInsert.bind(u"munkatev"_s, activity);
        jobInsert.bind(u"munkaszam"_s, sheet.left(6));
        jobInsert.bind(u"leirasm"_s, description);
        return jobInsert.exec() || failed(jobInsert);
    };

    const auto registerRow = [&](const QStringList& cells) {
        const QString name = cell(cells, 0, 60);
        const QString city = cell(cells, 2, 40);
        if (name.isEmpty() && city.isEmpty())
            return true;
        const QString street = cell(cells, 3, 40);
        bindAddress(customerUpsert, name, cell(cells, 1), city, street, cell(cells, 5));
        const QVariant customer = customerUpsert.insertReturning();
        if (customer.isNull())
            return failed(customerUpsert);
        ++result.rows;
        const QString typeName = cell(cells, 4);
        if (typeName.isEmpty() || typeName == u"nincs"_s)
            return true;
        QVariant type;
        if (!findOrAddType(typeName, QString(), &type))
            return false;
        const QString serial = withSerial ? cell(cells, 7, 30) : QString();
        // Found by customer and type, and by the serial number when the row has one; a new
        // appliance gets that serial number, an existing one keeps its own.
        db::Query& find = serial.isEmpty() ? applianceFind : applianceFindSerial;
        find.bind(u"ugyfel"_s, customer);
        find.bind(u"tipus"_s, type);
        if (!serial.isEmpty())
            find.bind(u"gyariszam"_s, serial);
        if (!find.exec())
            return failed(find);
        QVariant appliance;
        if (find.first()) {
            appliance = find.value(0);
        } else {
            applianceInsert.bind(u"ugyfel"_s, customer);
            applianceInsert.bind(u"tipus"_s, type);
            applianceInsert.bind(u"gyariszam"_s, serial);
            appliance = applianceInsert.insertReturning();
            if (appliance.isNull())
                return failed(applianceInsert);
        }
        find.close();
        return addJob(appliance, customer, type, cell(cells, 6, 10), QString(), u"J"_s,
                      withSerial ? cell(cells, 8) : QString(), importedDescription);
    };

    const auto historyRow = [&](int row, const QStringList& cells) {
        bool isInteger = false;
        const int code = cell(cells, 0).toInt(&isInteger);
        if (!isInteger)
            return fail(u"Hibás ügyfélkód a(z) "_s + QString::number(row) + u". sorban"_s);
        const QString phone = cell(cells, 8);
        const QString phone2 = cell(cells, 9);
        bindAddress(customerInsert, cell(cells, 4, 60), cell(cells, 5), cell(cells, 6, 40),
                    cell(cells, 7, 40), phone.isEmpty() ? phone2 : phone + u", "_s + phone2);
        customerInsert.bind(u"kod"_s, code);
        customerInsert.bind(u"komment"_s, cell(cells, 12, 100));
        if (!customerInsert.exec())
            return failed(customerInsert);
        QVariant type;
        if (!findOrAddType(cell(cells, 2), cell(cells, 1), &type))
            return false;
        applianceInsert.bind(u"ugyfel"_s, code);
        applianceInsert.bind(u"tipus"_s, type);
        applianceInsert.bind(u"gyariszam"_s, cell(cells, 3, 30));
        const QVariant appliance = applianceInsert.insertReturning();
        if (appliance.isNull())
            return failed(applianceInsert);
        QString commissioning = cells.value(10);
        commissioning.remove(u' ');
        if (!addJob(appliance, code, type, commissioning, historyTechnician, u"ÜZ"_s, {}, {}))
            return false;
        for (const QString& date : dateList(cells.value(14), false, today))
            if (!addJob(appliance, code, type, date, historyTechnician, u"KAR"_s, {}, {}))
                return false;
        const RepairList repairs = repairList(cells.value(16), today);
        for (const QString& date : repairs.dates)
            if (!addJob(appliance, code, type, date, historyTechnician, repairs.activity, {}, {}))
                return false;
        ++result.rows;
        return true;
    };

    int expected = firstRow;
    const bool read = m_reader.forEachRow([&](int row, const QStringList& cells) {
        if (row < firstRow)
            return true;
        if (history) {
            // A missing row or an empty or zero customer code ends the sheet.
            const QString code = cell(cells, 0);
            if (row != expected || code.isEmpty() || code == u"0"_s)
                return false;
            ++expected;
        }
        if (!(history ? historyRow(row, cells) : registerRow(cells)))
            return false;
        if (progress)
            progress(row);
        if (++sinceCommit >= rowsPerCommit) {
            if (!transaction->commit())
                return fail(transaction->lastError());
            transaction = std::make_unique<db::Transaction>(m_connection);
            sinceCommit = 0;
        }
        return true;
    });
    if (!read && result.ok)
        fail(m_reader.error());
    // What stands is kept, also after a failure.
    if (transaction->isActive() && !transaction->commit() && result.ok)
        fail(transaction->lastError());
    transaction.reset();

    if (history) {
        // New customers typed in later must not hit an imported code.
        QString error;
        const QVariant highest = db::scalar(
            m_connection,
            u"Select MaxValue(Coalesce((Select Max(KOD) From UGYFEL), 0), Gen_Id(GEN_UGYFEL, 0)) "
            u"From RDB$DATABASE"_s,
            {}, &error);
        if (error.isEmpty())
            db::execute(m_connection,
                        u"SET GENERATOR GEN_UGYFEL TO "_s + QString::number(highest.toLongLong()),
                        {}, &error);
        if (!error.isEmpty() && result.ok)
            fail(error);
    }
    return result;
}

} // namespace mivo::exchange
