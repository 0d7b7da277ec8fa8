// The external technicians' jobs screen, driven headless.

#include "scheduledata.h"
#include "scriptedpicker.h"
#include "support/testdb.h"

#include "core/clock.h"
#include "core/dat.h"
#include "core/messages.h"
#include "framework/torzsopener.h"
#include "platform/dbquery.h"
#include "platform/querymodel.h"
#include "workflow/kulsos.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

using namespace mivo;
using namespace mivo::workflow;
using namespace scheduledata;
using namespace Qt::StringLiterals;

namespace
{

const QString today = u"2024.03.04"_s;

// An own technician with a job at 10; an external one with a given-out job at "18" "Es" and a
// deleted one; an own technician's job that the list never shows.
struct Office {
    Office()
    {
        addTechnician(db, u"SZ01"_s, u"Arany Béla"_s);
        addTechnician(db, u"E1"_s, u"Külső Ede"_s, u"MASCEG"_s);
        customer = addCustomer(db, u"Nagy Éva"_s, u"2600"_s, u"Vác"_s, u"Fő u. 2"_s);
        db.exec(u"INSERT INTO ARU (BELSOKOD, KOD, NEV, JELLEG) VALUES (100, 'K-100', "
                "'Kazán 100', 'K')"_s);
        addJob(planned(customer, u"SZ01"_s, today, u"10"_s));
        job = addJob(planned(customer, u"E1"_s, today, u"18"_s));
        deleted = addJob(planned(customer, u"E1"_s, u"2024.03.02"_s, u"08"_s));
        db.exec(u"UPDATE MUNKA SET TIPUS = 100, DEDU = 'Es', MUNKATEV = 'J'"_s);
        db.exec(u"UPDATE MUNKA SET ALLAPOT = 'TOR' WHERE KOD = "_s + QString::number(deleted));
    }
    QString field(const QString& name) const
    {
        return db::scalar(u"d_mivo"_s, u"SELECT "_s + name + u" FROM MUNKA WHERE KOD = "_s +
                                           QString::number(job))
            .toString()
            .trimmed();
    }
    TestDb db;
    int customer = 0;
    int job = 0;
    int deleted = 0;
};

struct Form {
    Form()
    {
        w.prepare({});
        w.show();
    }
    void press(const QString& command) { w.commands().command(command)->trigger(); }
    template <typename T> T* child(const QString& name) { return w.findChild<T*>(name); }
    QStringList codes()
    {
        QStringList c;
        for (int r = 0; r < w.rows().rowCount(); ++r)
            c << w.rows().text(r, u"KOD"_s);
        return c;
    }
    Tkulsosfm w;
};

} // namespace

class TestKulsos : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        clock::set(QDateTime(QDate(2024, 3, 4), QTime(10, 0)));
        Td::instance().ownCompany = u"VELKOR"_s;
        Td::instance().userCode = u"kata"_s;
        Td::instance().partsStockAvailable = false;
    }
    void cleanup() { clock::set({}); }

    // Only given-out jobs of other companies' technicians; deleted ones with "Minden tétel".
    void list()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        Form s;
        QAbstractItemModelTester tester(&s.w.rows());
        QCOMPARE(s.child<QLineEdit>(u"e_datumtol"_s)->text(), u"2024.03.01"_s);
        QCOMPARE(s.child<QLineEdit>(u"e_datumig"_s)->text(), today);
        QCOMPARE(s.codes(), QStringList{QString::number(o.job)});
        QCOMPARE(s.child<QLabel>(u"l_osszes"_s)->text(), u"Összes tétel: 1"_s);
        QCOMPARE(s.w.rows().columnCount(), 22);
        s.child<QCheckBox>(u"cb_minden"_s)->setChecked(true);
        s.child<QComboBox>(u"rg_sorrend"_s)->setCurrentIndex(0);
        s.w.acceptFilter();
        QCOMPARE(s.codes(), (QStringList{QString::number(o.deleted), QString::number(o.job)}));
        QVERIFY(!s.w.panel()->isEnabled());
    }

    // An external job's "18" and "Es" shown and stored back; the activity into TERVTEV.
    void storeKeepsValues()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        Form s;
        s.press(u"modosit"_s);
        QVERIFY(s.w.panel()->isEnabled());
        QVERIFY(!s.w.view()->isEnabled());
        QCOMPARE(s.child<QComboBox>(u"cb_ora"_s)->currentText(), u"18"_s);
        QCOMPARE(s.child<QComboBox>(u"cb_dedu"_s)->currentText(), u"Es"_s);
        QVERIFY(!s.child<QComboBox>(u"cb_ora"_s)->isEnabled());
        QVERIFY(s.child<QComboBox>(u"cb_dedu"_s)->isEnabled());
        s.child<QComboBox>(u"cb_tevekenys"_s)
            ->setCurrentIndex(s.child<QComboBox>(u"cb_tevekenys"_s)->findText(u"Javítás"_s));
        s.child<QComboBox>(u"cb_allapot"_s)->setCurrentIndex(-1);
        s.child<QLineEdit>(u"e_tervd"_s)->setText(u"20240305"_s);
        s.press(u"tarol"_s);
        QCOMPARE(messages->texts, QStringList{u"Biztos, hogy tárolja a módosításokat?"_s});
        QCOMPARE(o.field(u"TERVT"_s), u"18"_s);
        QCOMPARE(o.field(u"DEDU"_s), u"Es"_s);
        QCOMPARE(o.field(u"TERVD"_s), u"2024.03.05"_s);
        QCOMPARE(o.field(u"TERVTEV"_s), u"J"_s);
        QCOMPARE(o.field(u"MUNKATEV"_s), u"J"_s);
        QCOMPARE(o.field(u"ALLAPOT"_s), u"KI"_s);
        QCOMPARE(o.field(u"JUZER"_s), u"kata"_s);
        QCOMPARE(o.field(u"MIKORI"_s), u"2024.03.04 10:00:00"_s);
        QVERIFY(!s.w.panel()->isEnabled());
    }

    // To an own technician at a taken hour: refused before the question; an invalid date
    // keeps editing.
    void ownTechnician()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        ScriptedPicker picker;
        Form s;
        s.press(u"modosit"_s);
        picker.next(u"SELECT * FROM SZERELO WHERE KOD = 'SZ01'"_s);
        s.child<QPushButton>(u"b_szerelo"_s)->click();
        QCOMPARE(s.child<QLineEdit>(u"e_szerelonev"_s)->text(), u"Arany Béla"_s);
        QComboBox* ora = s.child<QComboBox>(u"cb_ora"_s);
        QVERIFY(ora->isEnabled());
        QVERIFY(!s.child<QComboBox>(u"cb_dedu"_s)->isEnabled());
        ora->setCurrentIndex(ora->findText(u"10"_s));
        s.press(u"tarol"_s);
        QCOMPARE(messages->texts,
                 QStringList{u"A szerelőnek abban az időpontban más munkája van."_s});
        QVERIFY(s.w.panel()->isEnabled());
        QCOMPARE(o.field(u"SZERELOT"_s), u"E1"_s);

        messages->texts.clear();
        s.child<QLineEdit>(u"e_tervd"_s)->setText(u"2024.02.30"_s);
        s.press(u"tarol"_s);
        QCOMPARE(messages->texts, QStringList{u"Hibás dátum.\n2024.02.30"_s});
        QVERIFY(s.w.panel()->isEnabled());

        messages->texts.clear();
        s.child<QLineEdit>(u"e_tervd"_s)->setText(today);
        ora->setCurrentIndex(ora->findText(u"11"_s));
        s.press(u"tarol"_s);
        QCOMPARE(messages->texts, QStringList{u"Biztos, hogy tárolja a módosításokat?"_s});
        QCOMPARE(o.field(u"SZERELOT"_s), u"SZ01"_s);
        QCOMPARE(o.field(u"TERVT"_s), u"11"_s);
    }

    // "Du" sets 13; an hour chosen afterwards stays.
    void partOfDay()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        Form s;
        s.press(u"modosit"_s);
        QComboBox* dedu = s.child<QComboBox>(u"cb_dedu"_s);
        QComboBox* ora = s.child<QComboBox>(u"cb_ora"_s);
        dedu->setCurrentIndex(dedu->findText(u"Du"_s));
        emit dedu->activated(dedu->currentIndex());
        QCOMPARE(ora->currentText(), u"13"_s);
        ora->setCurrentIndex(ora->findText(u"10"_s));
        QCOMPARE(ora->currentText(), u"10"_s);
    }

    void remove()
    {
        Office o;
        QVERIFY2(o.db.ok(), qPrintable(o.db.error()));
        ScriptedMessagesGuard messages;
        Form s;
        messages->queueAnswers({1});
        s.press(u"torol"_s);
        QCOMPARE(messages->texts, QStringList{u"Biztos, hogy törli a munkát?"_s});
        QCOMPARE(o.field(u"ALLAPOT"_s), u"KI"_s);
        QVERIFY(!s.w.panel()->isEnabled());
        QVERIFY(s.child<QLineEdit>(u"e_szerelo"_s)->text().isEmpty());
        s.press(u"torol"_s);
        QCOMPARE(o.field(u"ALLAPOT"_s), u"TOR"_s);
        QCOMPARE(o.field(u"TERVT"_s), u"18"_s);
        QCOMPARE(o.field(u"DEDU"_s), u"Es"_s);
        QCOMPARE(o.field(u"MIKORI"_s), u"2024.03.04 10:00:00"_s);
        QCOMPARE(s.w.rows().rowCount(), 0);
    }
};

QTEST_MAIN(TestKulsos)
#include "tst_kulsos.moc"
