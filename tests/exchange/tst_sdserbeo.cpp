#include "core/dat.h"
#include "core/ini.h"
#include "core/messages.h"
#include "exchange/SDserbeo.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "platform/fbdatabase.h"
#include "support/sdfixture.h"
#include "support/testdb.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mivo;
using mivo::exchange::TSDserbeofm;

namespace
{

QString one(const QString& sql)
{
    return db::scalar(u"d_mivo"_s, sql).toString().trimmed();
}

/// The screen as the menu opens it, with its controls.
struct ImportScreen {
    TSDserbeofm form;
    ImportScreen()
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
    void tick(const QString& name, bool on)
    {
        auto* box = get<QCheckBox>(name);
        if (box->isChecked() != on)
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(5, box->height() / 2));
    }
    void press(const QString& name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    QString label(const QString& name) { return get<QLabel>(name)->text(); }
    QStringList log() { return get<QPlainTextEdit>(u"m_result"_s)->toPlainText().split(u'\n'); }
};

} // namespace

class TestSdSerbeo : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_sd;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_sd = m_dir.filePath(u"sd.fdb"_s);
        QString error;
        QVERIFY2(db::createFirebirdDatabase(m_sd, Td::builtinUser, Td::builtinPassword, &error),
                 qPrintable(error));
        QVERIFY(Td::instance().connect(Td::Sd, m_sd));
        for (const char* sql : sdImportFixture)
            QVERIFY2(db::execute(u"d_sd"_s, QString::fromUtf8(sql), {}, &error), qPrintable(error));
        db::Connection::named(u"d_sd"_s).close();
    }

    void init()
    {
        Ini& ini = Ini::instance();
        ini.set(u"SD_DBSERVER"_s, m_sd);
        ini.set(u"SD_DBALIAS"_s, {});
        ini.set(u"MERKA_DBSERVER"_s, {});
        ini.set(u"SZERVKP"_s, u"07"_s);
        ini.set(u"SZERELOK"_s, u"T1,T2,"_s);
    }

    /// No SD database named, or none reachable: the message, and the window closes.
    void refusesWithoutSdDatabase_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("message");
        QTest::newRow("not configured")
            << QString()
            << u"A szerviz program adatbázisa nincs meghatározva (SD_DBSERVER vagy SD_DBALIAS)"_s;
        QTest::newRow("unreachable") << m_dir.filePath(u"nincs.fdb"_s)
                                     << u"Nem tudok kapcsolódni a SD szervíz adatbázishoz."_s;
    }
    void refusesWithoutSdDatabase()
    {
        QFETCH(QString, server);
        QFETCH(QString, message);
        Ini::instance().set(u"SD_DBSERVER"_s, server);
        TestDb db;
        ScriptedMessagesGuard messages;
        ImportScreen s;
        QTRY_VERIFY(!s.form.isVisible());
        QCOMPARE(messages->texts, QStringList{message});
    }

    /// Defaults, a full run from the screen: counters, log and rows; closing disconnects.
    void importsFromTheScreen()
    {
        TestDb db;
        QVERIFY2(db.ok(), qPrintable(db.error()));
        ScriptedMessagesGuard messages;
        ImportScreen s;
        QVERIFY(s.form.isVisible());
        QVERIFY(db::Connection::named(u"d_sd"_s).isOpen());
        QCOMPARE(s.get<QLineEdit>(u"e_szkp"_s)->text(), u"07"_s);
        QVERIFY(!s.get<QCheckBox>(u"cb_szerelo"_s)->isChecked());
        QVERIFY(s.get<QCheckBox>(u"cb_keszulek"_s)->isChecked());
        QVERIFY(s.get<QCheckBox>(u"cb_alkatresz"_s)->isChecked());
        QVERIFY(s.get<QCheckBox>(u"cb_ugyfel"_s)->isChecked());
        QVERIFY(!s.get<QCheckBox>(u"cb_tisztalap"_s)->isChecked());
        QCOMPARE(s.get<QCheckBox>(u"cb_tisztalap"_s)->text(), u" Meglévő adatokat töröljük?"_s);

        s.tick(u"cb_szerelo"_s, true);
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{});
        QVERIFY(s.get<QPushButton>(u"b_indul"_s)->isEnabled());

        const QStringList log = s.log();
        QCOMPARE(log.value(0), u"Adatátvétel SD szervíz programból"_s);
        QVERIFY(log.value(2).startsWith(u"Indul:"_s));
        QVERIFY(log.contains(u"Szerelők adatai"_s));
        QVERIFY(log.contains(u"Ügyfelek adatai"_s));
        QVERIFY(log.contains(u"Új tétel: P1 Szelep"_s));
        QVERIFY(log.last().startsWith(u"Kész."_s));

        // T1, T2 and T10 active in SD; the listed two are own, sheets 100 and 101 of "07".
        QCOMPARE(s.label(u"l_szerelo"_s), u"3"_s);
        QCOMPARE(s.label(u"l_szerelouj"_s), u"3"_s);
        QCOMPARE(s.label(u"l_ugyfel"_s), u"2"_s);
        QCOMPARE(s.label(u"l_ugyfeluj"_s), u"2"_s);
        auto* sheets = s.get<QProgressBar>(u"Gauge3"_s);
        QCOMPARE(sheets->value(), sheets->maximum());
        QCOMPARE(one(u"SELECT COUNT(*) FROM SZERELO WHERE CEGKOD='VELKOR'"_s), u"2"_s);
        QCOMPARE(one(u"SELECT LIST(SORSZAM) FROM (SELECT SORSZAM FROM BEUZLAP ORDER BY "
                     u"SORSZAM)"_s),
                 u"100,101"_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM MUNKA WHERE KULD=-1 AND ALLAPOT='OK'"_s),
                 one(u"SELECT COUNT(*) FROM MUNKA"_s));

        s.press(u"b_vissza"_s);
        QVERIFY(!s.form.isVisible());
        QVERIFY(!db::Connection::named(u"d_sd"_s).isOpen());
    }

    /// A commissioning date that is no date: the message, the focus on the field, no run.
    void refusesWrongDates_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("month 13") << u"e_tol"_s << u"2024.13.01"_s;
        QTest::newRow("letters") << u"e_ig"_s << u"tegnap"_s;
        QTest::newRow("30 February") << u"e_ig"_s << u"2024.02.30"_s;
    }
    void refusesWrongDates()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        TestDb db;
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(field, text);
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts.size(), 1);
        QVERIFY(messages->texts.first().startsWith(u"Hibás dátum.\n"_s));
        QVERIFY(s.get<QLineEdit>(field)->hasFocus());
        QCOMPARE(s.get<QPlainTextEdit>(u"m_result"_s)->toPlainText(), QString());
        QCOMPARE(one(u"SELECT COUNT(*) FROM BEUZLAP"_s), u"0"_s);
        s.form.close();
    }

    /// A range of dates selects the sheets of those days.
    void importsDateRange()
    {
        TestDb db;
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(u"e_tol"_s, u"2024.03.02"_s);
        s.type(u"e_ig"_s, u"2024.04.01"_s);
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{});
        QCOMPARE(one(u"SELECT LIST(SORSZAM) FROM BEUZLAP"_s), u"101"_s);
        s.form.close();
    }

    /// A typed quote in the service-centre code selects no sheet and breaks no statement.
    void quoteInServiceCentreImportsNothing()
    {
        TestDb db;
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.tick(u"cb_keszulek"_s, false);
        s.tick(u"cb_alkatresz"_s, false);
        s.type(u"e_szkp"_s, u"0'"_s);
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{});
        QCOMPARE(s.label(u"l_ugyfel"_s), u"0"_s);
        QCOMPARE(one(u"SELECT COUNT(*) FROM BEUZLAP"_s), u"0"_s);
        QVERIFY(s.log().last().startsWith(u"Kész."_s));
        s.form.close();
    }
};

QTEST_MAIN(TestSdSerbeo)
#include "tst_sdserbeo.moc"
