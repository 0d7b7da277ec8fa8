#include "platform/codepage.h"
#include "platform/dbquery.h"
#include "platform/rowsource.h"
#include "platform/tablefile.h"
#include "support/testdb.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

extern "C" {
#include <paradox.h>
}

using namespace mivo;

namespace
{

struct DbfTable {
    struct Field {
        QByteArray name;
        char type;
        int length;
        int decimals;
    };
    QList<Field> fields;
    QList<QList<QByteArray>> records;
    int codePageByte = 0;
};

// Reads a dBase III file by its header, field descriptors and fixed-length records.
DbfTable readDbf(const QString& path)
{
    QFile f(path);
    DbfTable t;
    if (!f.open(QIODevice::ReadOnly))
        return t;
    const QByteArray b = f.readAll();
    const auto u16 = [&](int o) { return int(quint8(b[o])) | int(quint8(b[o + 1])) << 8; };
    const int count = u16(4) | u16(6) << 16;
    const int headerLength = u16(8);
    const int recordLength = u16(10);
    t.codePageByte = quint8(b[29]);
    for (int o = 32; b[o] != '\x0D'; o += 32)
        t.fields << DbfTable::Field{b.mid(o, 11).replace('\0', ""), b[o + 11], quint8(b[o + 16]),
                                    quint8(b[o + 17])};
    for (int r = 0; r < count; ++r) {
        const QByteArray rec = b.mid(headerLength + r * recordLength, recordLength);
        QList<QByteArray> values;
        int pos = 1;
        for (const auto& field : t.fields) {
            values << rec.mid(pos, field.length);
            pos += field.length;
        }
        t.records << values;
    }
    if (b.at(headerLength + count * recordLength) != '\x1A')
        t.records.clear();
    return t;
}

} // namespace

class TestTableFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static void fill(TestDb& db)
    {
        db.exec(
            QStringLiteral("CREATE TABLE T (KOD INTEGER, NEV VARCHAR(10), MENNYI DOUBLE PRECISION, "
                           "DB SMALLINT, DATUM DATE)"));
        db.exec(QStringLiteral("INSERT INTO T VALUES (1, 'Őrház utca', 2.5, 3, '2024-03-05')"));
        db.exec(QStringLiteral("INSERT INTO T VALUES (2, NULL, NULL, NULL, NULL)"));
    }

private slots:
    void dbase()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        fill(db);
        db::Query q;
        q.setSql(QStringLiteral("SELECT KOD, NEV, MENNYI, DB, DATUM FROM T ORDER BY KOD"));
        data::QueryRows rows(q, QStringLiteral("q"));
        const QString path = m_dir.filePath(QStringLiteral("t.DBF"));
        QString error;
        QVERIFY2(data::writeDbaseTable(rows, path, &error), qPrintable(error));
        const DbfTable t = readDbf(path);
        QCOMPARE(t.fields.size(), 5);
        QCOMPARE(t.fields[1].name, QByteArray("NEV"));
        QCOMPARE(t.fields[1].type, 'C');
        QCOMPARE(t.fields[1].length, 10);
        QCOMPARE(t.fields[2].type, 'N');
        QCOMPARE(t.fields[4].type, 'D');
        QCOMPARE(t.codePageByte, 0xC8);
        QCOMPARE(t.records.size(), 2);
        QCOMPARE(fromWindows1250(t.records[0][1]), QStringLiteral("Őrház utca"));
        QCOMPARE(t.records[0][2].trimmed().toDouble(), 2.5);
        QCOMPARE(t.records[0][4], QByteArray("20240305"));
        // Empty numbers become 0, empty texts blanks.
        QCOMPARE(t.records[1][2].trimmed(), QByteArray("0.00000"));
        QCOMPARE(t.records[1][3].trimmed(), QByteArray("0"));
        QCOMPARE(t.records[1][1], QByteArray(10, ' '));
    }

    void paradox()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        fill(db);
        db::Query q;
        q.setSql(QStringLiteral("SELECT KOD, NEV, MENNYI, DB, DATUM FROM T ORDER BY KOD"));
        data::QueryRows rows(q, QStringLiteral("q"));
        const QString path = m_dir.filePath(QStringLiteral("t.DB"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QString error;
        QVERIFY2(data::writeParadoxTable(rows, path, &error), qPrintable(error));

        pxdoc_t* doc = PX_new();
        QVERIFY(PX_open_file(doc, QFile::encodeName(path).constData()) == 0);
        QCOMPARE(PX_get_num_fields(doc), 5);
        QCOMPARE(PX_get_num_records(doc), 2);
        pxfield_t* fields = PX_get_fields(doc);
        QCOMPARE(QByteArray(fields[1].px_fname), QByteArray("NEV"));
        QCOMPARE(int(fields[1].px_ftype), pxfAlpha);
        QCOMPARE(fields[1].px_flen, 10);
        QCOMPARE(int(fields[3].px_ftype), pxfShort);
        QByteArray record(PX_get_recordsize(doc), '\0');
        QList<QStringList> read;
        for (int r = 0; r < 2; ++r) {
            QVERIFY(PX_get_record(doc, r, record.data()));
            char* data = record.data();
            QStringList values;
            long l = 0;
            short s = 0;
            double d = 0;
            char* text = nullptr;
            values << (PX_get_data_long(doc, data, 4, &l) > 0 ? QString::number(l)
                                                              : QStringLiteral("null"));
            data += 4;
            values << (PX_get_data_alpha(doc, data, 10, &text) > 0
                           ? fromWindows1250(QByteArray(text))
                           : QString());
            doc->free(doc, text);
            data += 10;
            values << (PX_get_data_double(doc, data, 8, &d) > 0 ? QString::number(d)
                                                                : QStringLiteral("null"));
            data += 8;
            values << (PX_get_data_short(doc, data, 2, &s) > 0 ? QString::number(s)
                                                               : QStringLiteral("null"));
            data += 2;
            // An empty field is all zero bytes (the library's reader misreads those).
            if (QByteArray(data, 4) != QByteArray(4, '\0') &&
                PX_get_data_long(doc, data, 4, &l) > 0) {
                int y, m, dd;
                PX_SdnToGregorian(l + 1721425, &y, &m, &dd);
                values << QDate(y, m, dd).toString(Qt::ISODate);
            } else
                values << QStringLiteral("null");
            read << values;
        }
        PX_close(doc);
        PX_delete(doc);
        QCOMPARE(read[0], (QStringList{"1", "Őrház utca", "2.5", "3", "2024-03-05"}));
        QCOMPARE(read[1], (QStringList{"2", "", "0", "0", "null"}));
    }

    void failedTableKeepsThePreviousFile()
    {
        TestDb db{QStringList()};
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::Query bad;
        bad.setSql(QStringLiteral("SELECT NINCS FROM SEHOL"));
        data::QueryRows rows(bad, QStringLiteral("q"));
        const QString path = m_dir.filePath(QStringLiteral("marad.DB"));
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
        old.close();
        QString error;
        QVERIFY(!data::writeParadoxTable(rows, path, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!data::writeDbaseTable(rows, path, &error));
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(old.readAll()), QStringLiteral("régi"));
    }
};

QTEST_GUILESS_MAIN(TestTableFile)
#include "tst_tablefile.moc"
