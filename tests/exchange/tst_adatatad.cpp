#include "core/clock.h"
#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "exchange/adatatad.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "support/testdb.h"
#include "workflow/scriptedpicker.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mivo;
using mivo::exchange::Tadatatadfm;

namespace
{

// The SD program's tables whose structure the batch tables copy (the columns the test reads).
const char* const sdTables[] = {
    "CREATE TABLE BEUZLAP (SORSZAM VARCHAR(6), TIPUS VARCHAR(30), VEVONEV VARCHAR(40), TELEFON "
    "VARCHAR(15), BEUZEMELES VARCHAR(10), ATAD SMALLINT, GJSZKOD1 VARCHAR(6), GJDATUM1 "
    "VARCHAR(10), GJSZLASZ1 VARCHAR(10), GJSZKOD2 VARCHAR(6), GJDATUM2 VARCHAR(10), GJSZLASZ2 "
    "VARCHAR(10), GJSZKOD3 VARCHAR(6), GJDATUM3 VARCHAR(10), GJSZLASZ3 VARCHAR(10))",
    "CREATE TABLE SZELVENY (SORSZAM VARCHAR(6), SZELVENY INTEGER, ALKATRESZ VARCHAR(20), ATAD "
    "SMALLINT)",
    "CREATE TABLE GARKARB (SORSZAM VARCHAR(6), GJSZKOD1 VARCHAR(6), GJDATUM1 VARCHAR(10), "
    "GJSZLASZ1 VARCHAR(10), ATAD SMALLINT)",
};

// A sheet with a commissioning job, a coupon job with one part, a maintenance visit and an
// imported job that is never handed over.
const char* const appRows[] = {
    "INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (1, 'K1', 'Thema Condens', 'K')",
    "INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (2, 'P1', 'Szelep', 'A')",
    "INSERT INTO UGYFEL (KOD, NEV, VAROS, UTCA, TELEFON) VALUES (1, 'Vevő Vera', 'Szentendre', "
    "'Fő tér 2', '555')",
    "INSERT INTO KESZULEK (KOD, UGYFEL, TIPUS, GYARISZAM) VALUES (1, 1, 1, 'GY1')",
    "INSERT INTO BEUZLAP (SORSZAM, KESZULEK, UGYFEL, TIPUS, GYARISZAM) VALUES ('200', 1, 1, 1, "
    "'GY1')",
    "INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, SZERELOM, MUNKAD, KULD) "
    "VALUES (1, 'OK', 1, 1, 1, 'ÜZ', 'T1', '2024.01.02', 0)",
    "INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, SZERELOM, MUNKAD, "
    "MUNKASZAM, KULD) VALUES (2, 'OK', 1, 1, 1, 'GJ', 'T1', '2024.02.03', 'ML1', 0)",
    "INSERT INTO MUNKA_ALK (KOD, ALKATRESZ, GJSORSZAM) VALUES (2, 2, 7001)",
    "INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, SZERELOM, MUNKAD, KULD) "
    "VALUES (3, 'OK', 1, 1, 1, 'KAR', 'T2', '2025.01.02', 0)",
    "INSERT INTO MUNKA (KOD, ALLAPOT, UGYFEL, KESZULEK, TIPUS, MUNKATEV, KULD) VALUES (4, 'OK', "
    "1, 1, 1, 'ÜZ', -1)",
};

QString one(const QString& sql)
{
    return db::scalar(u"d_mivo"_s, sql).toString().trimmed();
}

/// The screen as the menu opens it, with its controls.
struct HandoverScreen {
    Tadatatadfm form;
    HandoverScreen()
    {
        form.prepare({});
        form.show();
        QApplication::setActiveWindow(&form);
    }
    template <typename T> T* get(const QString& name)
    {
        T* widget = form.findChild<T*>(name);
        if (!widget)
            qFatal("no %s", qPrintable(name));
        return widget;
    }
    void type(const QString& name, const QString& text)
    {
        auto* edit = get<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    void press(const QString& name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    void repeatMode()
    {
        auto* box = get<QCheckBox>(u"cb_uj"_s);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    }
    QString counts()
    {
        return get<QLineEdit>(u"e_beuzdb"_s)->text() + u'/' +
               get<QLineEdit>(u"e_szelvenydb"_s)->text() + u'/' +
               get<QLineEdit>(u"e_garkarbdb"_s)->text();
    }
};

} // namespace

class TestAdatatad : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;

    void seed(TestDb& db)
    {
        for (const char* sql : appRows)
            QVERIFY2(db.exec(QString::fromUtf8(sql)), qPrintable(QString::fromUtf8(sql)));
        Td::instance().workPath = db.dir() + u'/';
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString sd = m_dir.filePath(u"sd.fdb"_s);
        QString error;
        QVERIFY2(db::createFirebirdDatabase(sd, Td::builtinUser, Td::builtinPassword, &error),
                 qPrintable(error));
        QVERIFY(Td::instance().connect(Td::Sd, sd));
        for (const char* sql : sdTables)
            QVERIFY2(db::execute(u"d_sd"_s, QString::fromUtf8(sql), {}, &error), qPrintable(error));
        Ini::instance().set(u"SD_DBSERVER"_s, sd);
        Ini::instance().set(u"SZERVKP"_s, u"07"_s);
    }
    void cleanupTestCase() { db::Connection::named(u"d_sd"_s).close(); }

    /// The counts at opening, a new batch: the tables, their labels, the marking and the log
    /// row; then nothing is left to send.
    void newBatch()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        seed(db);
        ScriptedMessagesGuard messages;
        HandoverScreen s;
        QVERIFY(s.get<QCheckBox>(u"cb_uj"_s)->isChecked());
        QVERIFY(!s.get<QPushButton>(u"b_valaszt"_s)->isEnabled());
        QCOMPARE(s.get<QLineEdit>(u"e_ismet"_s)->text(), u"0"_s);
        QCOMPARE(s.counts(), u"1/1/1"_s);

        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{});
        const QDate today = clock::now().date();
        const QString folder = db.dir() + u"/KULD/"_s + today.toString(u"yyyy_MM_dd"_s) + u'/';
        const QString stamp = u"_1_"_s + today.toString(u"yyyyMMdd"_s) + u".DB"_s;
        const QString labels[] = {u"l_uz"_s, u"l_gj"_s, u"l_kar"_s};
        const QString bases[] = {u"BEUZLAP"_s, u"SZELVENY"_s, u"GARKARB"_s};
        const QString gauges[] = {u"Gauge_uz"_s, u"Gauge_gj"_s, u"Gauge_kar"_s};
        for (int i = 0; i < 3; ++i) {
            const QString file = folder + bases[i] + stamp;
            QCOMPARE(QDir::cleanPath(s.get<QLabel>(labels[i])->text()), QDir::cleanPath(file));
            QVERIFY2(QFile::exists(file), qPrintable(file));
            // Each gauge went through its rows to the end.
            const auto* gauge = s.get<QProgressBar>(gauges[i]);
            QCOMPARE(gauge->maximum(), 1);
            QCOMPARE(gauge->value(), 1);
        }
        QCOMPARE(one(u"SELECT LIST(KULD) FROM (SELECT KULD FROM MUNKA ORDER BY KOD)"_s),
                 u"1,1,1,-1"_s);
        QCOMPARE(one(u"SELECT SORSZAM || '/' || DATUM || '/' || BEUZLAP || SZELVENY || GARKARB "
                     u"FROM EXPORTLOG"_s),
                 u"1/"_s + today.toString(u"yyyy_MM_dd"_s) + u"/111"_s);
        QCOMPARE(s.counts(), u"0/0/0"_s);

        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{u"Nincs mit küldeni."_s});
        QCOMPARE(one(u"SELECT COUNT(*) FROM EXPORTLOG"_s), u"1"_s);
        s.form.close();
    }

    /// The handover folder cannot be opened (the working folder is a file): the connection's
    /// message once, no table, no marking, no log row.
    void handoverFolderRefused()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        seed(db);
        const QString file = db.dir() + u"/notafolder"_s;
        QFile(file).open(QIODevice::WriteOnly);
        Td::instance().workPath = file;
        ScriptedMessagesGuard messages;
        HandoverScreen s;
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{u"Nem tudok kapcsolódni a küldés adatbázishoz."_s});
        QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE KULD > 0"_s), u"0"_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM EXPORTLOG"_s), u"0"_s);
        QCOMPARE(s.get<QLabel>(u"l_uz"_s)->text(), QString());
        QCOMPARE(s.counts(), u"1/1/1"_s);
        s.form.close();
    }

    /// A repeat number that is no batch: the message, the focus on the field.
    void repeatNumberChecks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << u"abc"_s << u"Adja meg a küldés sorszámát!"_s;
        QTest::newRow("empty") << QString() << u"Adja meg a küldés sorszámát!"_s;
        QTest::newRow("decimal") << u"1.5"_s << u"Ez nem jó szám."_s;
        QTest::newRow("zero") << u"0"_s << u"Adja meg a küldés sorszámát!"_s;
        QTest::newRow("imported") << u"-1"_s << u"Adja meg a küldés sorszámát!"_s;
    }
    void repeatNumberChecks()
    {
        QFETCH(QString, text);
        QFETCH(QString, message);
        TestDb db;
        seed(db);
        ScriptedMessagesGuard messages;
        HandoverScreen s;
        s.repeatMode();
        QVERIFY(s.get<QPushButton>(u"b_valaszt"_s)->isEnabled());
        QCOMPARE(s.counts(), u"0/0/0"_s);
        s.type(u"e_ismet"_s, text);
        s.press(u"b_count"_s);
        QVERIFY(!messages->texts.isEmpty());
        QCOMPARE(messages->texts.first(), message);
        QVERIFY(s.get<QLineEdit>(u"e_ismet"_s)->hasFocus());
        s.press(u"b_indul"_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE KULD > 0"_s), u"0"_s);
        s.form.close();
    }

    /// A batch again: chosen with "?" into its dated folder, typed into "KULD/" with names
    /// ending "_"; neither touches the jobs nor the export log.
    void repeatBatch()
    {
        TestDb db;
        seed(db);
        ScriptedMessagesGuard messages;
        HandoverScreen s;
        s.press(u"b_indul"_s);
        const QString date = one(u"SELECT DATUM FROM EXPORTLOG"_s);
        const QString dated = db.dir() + u"/KULD/"_s + date + u"/BEUZLAP_1_"_s +
                              QString(date).remove(u'_') + u".DB"_s;
        QVERIFY(QFile::remove(dated));

        s.repeatMode();
        ScriptedPicker picker;
        picker.next(u"SELECT SORSZAM, DATUM FROM EXPORTLOG"_s);
        s.press(u"b_valaszt"_s);
        QCOMPARE(picker.calls.value(0).tableSpec, u"EXPORTLOG"_s);
        QCOMPARE(s.get<QLineEdit>(u"e_ismet"_s)->text(), u"1"_s);
        QCOMPARE(s.counts(), u"1/1/1"_s);
        s.press(u"b_indul"_s);
        QVERIFY(QFile::exists(dated));

        s.type(u"e_ismet"_s, u"1"_s);
        s.press(u"b_count"_s);
        s.press(u"b_indul"_s);
        QVERIFY(QFile::exists(db.dir() + u"/KULD/SZELVENY_1_.DB"_s));
        QCOMPARE(messages->texts, QStringList{});
        QCOMPARE(one(u"SELECT COUNT(*) FROM EXPORTLOG"_s), u"1"_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE KULD = 1"_s), u"3"_s);
        s.form.close();
    }
};

QTEST_MAIN(TestAdatatad)
#include "tst_adatatad.moc"
