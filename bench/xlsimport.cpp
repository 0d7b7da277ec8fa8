// Import of a 100 000-row history workbook (shared strings, as Excel writes them) into an
// empty database, next to the bare reader handing the same cells to prepared inserts of the
// same customers, appliances and jobs in one transaction. Peak memory of reading the sheet
// at two sizes shows that it is streamed.
#include "benchdata.h"

#include "core/newdatabase.h"
#include "exchange/excelimport.h"
#include "platform/dbconnection.h"
#include "platform/workbookreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>

#include <xlsxwriter.h>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

constexpr int types = 40;

void writeBook(const QString& path, int rows)
{
    lxw_workbook* book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet* sheet = workbook_add_worksheet(book, "Munka1");
    const auto text = [sheet](int r, int c, const QString& value) {
        worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c), value.toUtf8().constData(),
                               nullptr);
    };
    text(0, 0, u"Kód"_s);
    for (int r = 1; r <= rows; ++r) {
        worksheet_write_number(sheet, lxw_row_t(r), 0, r, nullptr);
        text(r, 1, u"Beretta"_s);
        text(r, 2, u"Renova Star %1"_s.arg(r % types));
        text(r, 3, u"SN%1"_s.arg(r));
        text(r, 4, u"Ügyfél %1"_s.arg(r));
        text(r, 5, u"7622"_s);
        text(r, 6, u"Pécs"_s);
        text(r, 7, u"Fő utca %1."_s.arg(r % 200));
        text(r, 8, u"06-72-%1"_s.arg(r % 1000000));
        text(r, 10, u"2019.05.06"_s);
        text(r, 12, u"megjegyzés"_s);
        text(r, 14, u"2020.05.10, 21.06."_s);
        text(r, 16, u"gar. 2022.01.15"_s);
    }
    workbook_close(book);
}

/// The bare work: every cell read, customers, types, appliances and jobs inserted by
/// prepared statements with the keys known, one transaction.
void bare(const QString& path)
{
    data::WorkbookReader reader;
    if (!reader.open(path))
        qFatal("%s", qPrintable(reader.error()));
    QSqlDatabase d = QSqlDatabase::database(u"d_mivo"_s);
    d.transaction();
    QSqlQuery customer(d), type(d), appliance(d), job(d);
    customer.prepare(u"Insert Into UGYFEL (NEV, IRSZAM, VAROS, UTCA, TELEFON, KOD, KOMMENT) "
                     u"Values (?, ?, ?, ?, ?, ?, ?)"_s);
    type.prepare(u"Insert Into ARU (BELSOKOD, KOD, NEV, NEV2, JELLEG, AKTIV, M_EGYSEG) "
                 u"Values (?, ?, ?, ?, 'K', 'I', 'DB')"_s);
    appliance.prepare(
        u"Insert Into KESZULEK (KOD, UGYFEL, TIPUS, GYARISZAM) Values (?, ?, ?, ?)"_s);
    job.prepare(u"Insert Into MUNKA (ALLAPOT, KESZULEK, UGYFEL, TIPUS, MUNKAD, SZERELOM, "
                u"MUNKATEV, MUNKASZAM, LEIRASM, KULD) Values ('OK', ?, ?, ?, ?, '201402', ?, "
                u"'', '', -1)"_s);
    QHash<QString, int> typeKeys;
    const auto run = [](QSqlQuery& q) {
        if (!q.exec())
            qFatal("%s", qPrintable(q.lastError().text()));
    };
    reader.forEachRow([&](int row, const QStringList& cells) {
        if (row < 2)
            return true;
        const int code = cells.value(0).toInt();
        customer.addBindValue(cells.value(4));
        customer.addBindValue(cells.value(5));
        customer.addBindValue(cells.value(6));
        customer.addBindValue(cells.value(7));
        customer.addBindValue(cells.value(8));
        customer.addBindValue(code);
        customer.addBindValue(cells.value(12));
        run(customer);
        const QString typeName = cells.value(2);
        int typeKey = typeKeys.value(typeName);
        if (!typeKey) {
            typeKey = int(typeKeys.size()) + 1;
            typeKeys.insert(typeName, typeKey);
            type.addBindValue(typeKey);
            type.addBindValue(exchange::typeCode(typeName));
            type.addBindValue(typeName);
            type.addBindValue(cells.value(1));
            run(type);
        }
        appliance.addBindValue(code);
        appliance.addBindValue(code);
        appliance.addBindValue(typeKey);
        appliance.addBindValue(cells.value(3));
        run(appliance);
        for (const auto& [date, activity] :
             {std::pair{cells.value(10), u"ÜZ"_s}, std::pair{u"2020.05.10"_s, u"KAR"_s},
              std::pair{u"2021.06.01"_s, u"KAR"_s}, std::pair{u"2022.01.15"_s, u"GJ"_s}}) {
            job.addBindValue(code);
            job.addBindValue(code);
            job.addBindValue(typeKey);
            job.addBindValue(date);
            job.addBindValue(activity);
            run(job);
        }
        return true;
    });
    d.commit();
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int rows = 100000;
    const QString small = dir.filePath(u"small.xlsx"_s);
    const QString book = dir.filePath(u"history.xlsx"_s);
    // Written in a child: libxlsxwriter holds the whole sheet, which would swell this
    // process and every child forked from it.
    bench::childPeakMegabytes([&] {
        writeBook(small, rows / 4);
        writeBook(book, rows);
    });

    // Reading alone, in a child before any database is open: flat in the row count.
    const auto readPeak = [](const QString& path) {
        return bench::childPeakMegabytes([path] {
            data::WorkbookReader reader;
            if (!reader.open(path) ||
                !reader.forEachRow([](int, const QStringList&) { return true; }))
                _exit(1);
        });
    };
    QTextStream(stdout) << "xlsimport_read_peak_25000_rows: " << readPeak(small) << " MB"
                        << Qt::endl;
    QTextStream(stdout) << "xlsimport_read_peak_100000_rows: " << readPeak(book) << " MB"
                        << Qt::endl;

    const QString empty = dir.filePath(u"empty.fdb"_s);
    QString error;
    if (!createApplicationDatabase(empty, 0, 0, 0, &error)) {
        QTextStream(stderr) << error << Qt::endl;
        return 1;
    }
    const auto fresh = [&](const QString& name) {
        db::Connection::named(u"d_mivo"_s).close();
        const QString path = dir.filePath(name);
        QFile::remove(path);
        if (!QFile::copy(empty, path) || !bench::openMain(path))
            qFatal("no database");
    };

    fresh(u"bare.fdb"_s);
    const double bareMs = bench::fastestMs(1, [&] { bare(book); });
    fresh(u"import.fdb"_s);
    int imported = 0;
    const double importMs = bench::fastestMs(1, [&] {
        exchange::ExcelImport import;
        QString failure;
        if (!import.open(book, &failure))
            qFatal("%s", qPrintable(failure));
        const auto result = import.run(exchange::SheetLayout::History, 2);
        if (!result.ok)
            qFatal("%s", qPrintable(result.error));
        imported = result.rows;
    });
    db::Connection::named(u"d_mivo"_s).close();
    QTextStream(stderr) << imported << " rows imported" << Qt::endl;
    // Rates in rows per second: the goal is at least half the bare rate.
    const double rate = imported / (importMs / 1000.0);
    const double bareRate = rows / (bareMs / 1000.0);
    bench::report(u"xlsimport_history_100000_rows"_s, rate, bareRate, u"rows/s"_s);
    return 0;
}
