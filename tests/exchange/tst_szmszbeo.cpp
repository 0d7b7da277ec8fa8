#include "core/ini.h"
#include "core/messages.h"
#include "exchange/szmszbeo.h"
#include "platform/dbquery.h"
#include "support/modal.h"
#include "support/testdb.h"
#include "support/workbooks.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace mivo;
using mivo::exchange::Tszmszbeofm;

namespace
{

int count(const QString& table)
{
    return db::scalar(u"d_mivo"_s, u"Select Count(*) From "_s + table).toInt();
}

/// The screen as the menu opens it, with its controls.
struct ImportScreen {
    Tszmszbeofm form;
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
    void press(const QString& name) { QTest::mouseClick(get<QPushButton>(name), Qt::LeftButton); }
    QString log() { return get<QPlainTextEdit>(u"Memo1"_s)->toPlainText(); }
};

const QString deleteQuestion =
    u"Van már felvitt munka adat. (1 db)\nBiztos, hogy törölni akarja ezeket és nem hozzáadni?"_s;

} // namespace

class TestSzmszbeo : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_register;

    void existingJob(TestDb& db)
    {
        QVERIFY(db.exec(u"Insert Into UGYFEL (NEV) Values ('Régi')"_s));
        QVERIFY(db.exec(u"Insert Into MUNKA (UGYFEL, ALLAPOT) Values (1, 'OK')"_s));
    }

private slots:
    void initTestCase()
    {
        m_register = m_dir.filePath(u"keszulek.xlsx"_s);
        QVERIFY(makeRowsWorkbook(
            m_register, QJsonArray{QJsonArray{u"Név"_s},
                                   QJsonArray{u"Kiss Péter"_s, 7622, u"Pécs"_s, u"Fő u. 1."_s,
                                              u"Renova Star 24"_s, QJsonValue(), u"2021.03.05"_s},
                                   QJsonArray{u"Nagy Anna"_s, 7400, u"Kaposvár"_s, u"Kő u. 2."_s,
                                              u"nincs"_s}}));
        Ini::instance().set(u"CEGKOD"_s, u"DORVANA"_s);
    }

    void presets()
    {
        ImportScreen s;
        QCOMPARE(s.get<QLineEdit>(u"e_file"_s)->text(), u"készülék.xls"_s);
        QCOMPARE(s.get<QLineEdit>(u"e_kezd"_s)->text(), u"2"_s);
        QVERIFY(!s.get<QCheckBox>(u"cb_add"_s)->isChecked());
        QCOMPARE(s.get<QCheckBox>(u"cb_add"_s)->text(), u"Hozzáadás"_s);
        QVERIFY(s.get<QPushButton>(u"b_indul"_s)->isEnabled());
    }

    void missingFile()
    {
        TestDb db;
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(u"e_file"_s, m_dir.filePath(u"nincs.xls"_s));
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{u"Nincs ilyen fájl."_s});
        QVERIFY(s.get<QPushButton>(u"b_file"_s)->hasFocus());
    }

    void badFirstRow_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << u"0"_s;
        QTest::newRow("letters") << u"1a"_s;
        QTest::newRow("negative") << u"-3"_s;
        QTest::newRow("empty") << QString();
    }
    void badFirstRow()
    {
        QFETCH(QString, text);
        TestDb db;
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(u"e_file"_s, m_register);
        s.type(u"e_kezd"_s, text);
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{u"Hibás kezdő sor érték."_s});
        QVERIFY(s.get<QLineEdit>(u"e_kezd"_s)->hasFocus());
        QCOMPARE(count(u"UGYFEL"_s), 0);
    }

    /// Existing jobs, "Hozzáadás" not ticked: No leaves everything, Yes clears and imports.
    void clearQuestion()
    {
        TestDb db;
        existingJob(db);
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(u"e_file"_s, m_register.toUpper().replace(m_dir.path().toUpper(), m_dir.path()));
        messages->queueAnswers({1});
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{deleteQuestion});
        QCOMPARE(count(u"MUNKA"_s), 1);
        QCOMPARE(count(u"UGYFEL"_s), 1);
        QVERIFY(s.log().isEmpty());

        messages->texts.clear();
        messages->queueAnswers({0});
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{deleteQuestion});
        QCOMPARE(db::scalar(u"d_mivo"_s, u"Select List(NEV, ';') From (Select NEV From UGYFEL "
                                         u"Order By KOD)"_s)
                     .toString(),
                 u"Kiss Péter;Nagy Anna"_s);
        QCOMPARE(count(u"MUNKA"_s), 1);
        const QStringList log = s.log().split(u'\n');
        QCOMPARE(log.size(), 3);
        QVERIFY(log[0].startsWith(u"Adatbeolvasás indult:"_s));
        QCOMPARE(log[1], u"Beolvasott fájl:"_s + m_register);
        QCOMPARE(log[2], u"Beolvasott sorok: 2"_s);
        auto* progress = s.get<QProgressBar>(u"csik"_s);
        QCOMPARE(progress->value(), progress->maximum());
        QVERIFY(s.get<QPushButton>(u"b_indul"_s)->isEnabled());
    }

    /// "Hozzáadás" ticked: the plain question, the old rows stay.
    void addQuestion()
    {
        TestDb db;
        existingJob(db);
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(u"e_file"_s, m_register);
        auto* add = s.get<QCheckBox>(u"cb_add"_s);
        QTest::mouseClick(add, Qt::LeftButton, {}, QPoint(6, add->height() / 2));
        QVERIFY(add->isChecked());
        messages->queueAnswers({1});
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts, QStringList{u"Indulhat a beolvasás?"_s});
        QCOMPARE(count(u"UGYFEL"_s), 1);
        messages->queueAnswers({0});
        s.press(u"b_indul"_s);
        QCOMPARE(count(u"UGYFEL"_s), 3);
        QCOMPARE(count(u"MUNKA"_s), 2);
    }

    /// A file that is no workbook is refused before anything is deleted.
    void unreadableKeepsData()
    {
        TestDb db;
        existingJob(db);
        const QString path = m_dir.filePath(u"hamis.xlsx"_s);
        QVERIFY(writeFile(path, "Kiss;Pecs\n"));
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(u"e_file"_s, path);
        messages->queueAnswers({0});
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts.size(), 2);
        QVERIFY2(messages->texts[1].startsWith(u"A fájl nem olvasható: hamis.xlsx"_s),
                 qPrintable(messages->texts[1]));
        QCOMPARE(count(u"MUNKA"_s), 1);
        QCOMPARE(count(u"UGYFEL"_s), 1);
        QVERIFY(s.get<QPushButton>(u"b_indul"_s)->isEnabled());
    }

    /// A database error shows its text, keeps the rows so far and leaves "&Indul" disabled
    /// until the screen is opened again.
    void databaseError()
    {
        TestDb db;
        Ini::instance().set(u"CEGKOD"_s, u"KAZANOS"_s);
        const QString path = m_dir.filePath(u"tortenet.xls"_s);
        const auto row = [](int code) {
            return QJsonArray{code, u"Beretta"_s, u"Renova 24"_s, u"S"_s, u"Ügyfél"_s};
        };
        QVERIFY(makeRowsWorkbook(path, QJsonArray{QJsonArray{u"Kód"_s}, row(1), row(2), row(1)}));
        ScriptedMessagesGuard messages;
        ImportScreen s;
        s.type(u"e_file"_s, path);
        s.press(u"b_indul"_s);
        Ini::instance().set(u"CEGKOD"_s, u"DORVANA"_s);
        QCOMPARE(messages->texts.size(), 2);
        QCOMPARE(messages->texts[0], u"Indulhat a beolvasás?"_s);
        QVERIFY2(messages->texts[1].contains(u"PRIMARY"_s, Qt::CaseInsensitive),
                 qPrintable(messages->texts[1]));
        QCOMPARE(count(u"UGYFEL"_s), 2);
        QVERIFY(s.log().endsWith(u"Beolvasott sorok: 2"_s));
        QVERIFY(!s.get<QPushButton>(u"b_indul"_s)->isEnabled());
        s.press(u"b_indul"_s);
        QCOMPARE(messages->texts.size(), 2);
        s.form.prepare({});
        QVERIFY(s.get<QPushButton>(u"b_indul"_s)->isEnabled());
    }

    void chooseFile()
    {
        ImportScreen s;
        QStringList filters;
        whenModal<QFileDialog>([&](QFileDialog* d) {
            filters = d->nameFilters();
            typeIntoFileDialog(d, m_register);
        });
        s.press(u"b_file"_s);
        QCOMPARE(s.get<QLineEdit>(u"e_file"_s)->text(), QDir::toNativeSeparators(m_register));
        QCOMPARE(filters.size(), 3);
        QVERIFY(filters[1].contains(u"*.xlsx"_s));
    }
};

QTEST_MAIN(TestSzmszbeo)
#include "tst_szmszbeo.moc"
