// Script generation of the list builder on a small personnel schema: the Part's edge cases,
// golden scripts in the four dialects, and the Firebird forms that must run here.
#include "framework/kvarcelcondition.h"
#include "framework/kvarcelscript.h"

#include "core/clock.h"
#include "platform/dbquery.h"
#include "support/testdb.h"

#include <QTest>

using namespace mivo;
using namespace mivo::kvarcel;
using namespace Qt::StringLiterals;

namespace
{

// People with wages and wage items, and departments that join nothing.
const QStringList schema = {
    u"CREATE TABLE SZEM (ID VARCHAR(10) NOT NULL PRIMARY KEY, NEV VARCHAR(40), NEME VARCHAR(1), "
    "TERULET VARCHAR(5), KOR INTEGER)"_s,
    u"CREATE TABLE BER (ID VARCHAR(10) NOT NULL, HONAP VARCHAR(7) NOT NULL, OSSZEG DOUBLE "
    "PRECISION, PRIMARY KEY (ID, HONAP))"_s,
    u"CREATE TABLE BERT (ID VARCHAR(10) NOT NULL, HONAP VARCHAR(7) NOT NULL, JOGCIM VARCHAR(10) "
    "NOT NULL, NAP INTEGER)"_s,
    u"CREATE TABLE OSZT (KOD VARCHAR(4) NOT NULL PRIMARY KEY, NEV VARCHAR(30))"_s,
    u"INSERT INTO SZEM VALUES ('E1', 'Kiss Anna', 'N', 'BP', 30)"_s,
    u"INSERT INTO SZEM VALUES ('E2', 'Nagy Béla', 'F', 'BP', 40)"_s,
    u"INSERT INTO SZEM VALUES ('E3', 'Kis Ödön', 'F', 'PE', 50)"_s,
    u"INSERT INTO SZEM VALUES ('E4', 'Kisa Éva', 'N', 'PE', 0)"_s,
    u"INSERT INTO BER VALUES ('E1', '2024.04', 100)"_s,
    u"INSERT INTO BER VALUES ('E1', '2024.05', 150)"_s,
    u"INSERT INTO BER VALUES ('E2', '2024.05', 200)"_s,
    u"INSERT INTO SZEM VALUES ('E5', 'Varga Imre', 'F', 'KIS', 20)"_s,
    u"INSERT INTO SZEM VALUES ('E6', 'Varga Ilona', 'N', 'KISA', 25)"_s,
    u"INSERT INTO SZEM VALUES ('E7', 'Tóth Ernő', 'N', 'KIS', 35)"_s,
    u"INSERT INTO BERT VALUES ('E1', '2024.05', 'SZAB', 2)"_s,
    u"INSERT INTO BERT VALUES ('E1', '2024.05', 'BETEG', 1)"_s,
};

std::vector<JoinRow> joins()
{
    std::vector<JoinRow> rows(4);
    rows[0] = {1, u"SZEM"_s, u"SZEM"_s, {}, {}, u"ID(C10)"_s, {}, {}, {}, {}};
    rows[1] = {
        2,  u"BER"_s, u"BER"_s, u"SZEM"_s, {}, u"ID(C10)+HONAP(C7)"_s, u"SZEM.ID=BER.ID(+)"_s,
        {}, {},       {}};
    rows[2] = {3,
               u"BERT"_s,
               u"BERT"_s,
               u"BER"_s,
               {},
               u"ID(C10);HONAP(C7);JOGCIM(C10)"_s,
               u"BER.ID=BERT.ID(+) and BER.HONAP=BERT.HONAP(+)"_s,
               {},
               {},
               {}};
    rows[3] = {1, u"OSZT"_s, u"OSZT"_s, {}, {}, u"KOD(C4)"_s, {}, {}, {}, {}};
    return rows;
}

ListItem item(const QString& alias, const QString& tabla, const QString& mezo, const QString& tipus,
              const QString& muvelet = {})
{
    ListItem i;
    i.alias = alias;
    i.tabla = tabla;
    i.mezo = mezo;
    i.tipus = tipus;
    i.muvelet = muvelet;
    i.fejlec = alias.left(10);
    i.megnevezes = alias;
    return i;
}

Catalogue catalogue()
{
    Catalogue c;
    c.setItems({item(u"SZEMID"_s, u"SZEM"_s, u"ID"_s, u"C10"_s),
                item(u"SZEMNEV"_s, u"SZEM"_s, u"NEV"_s, u"C40"_s),
                item(u"SZEMNEME"_s, u"SZEM"_s, u"NEME"_s, u"C1"_s),
                item(u"SZEMTERULET"_s, u"SZEM"_s, u"TERULET"_s, u"C5"_s),
                item(u"SZEMKOR"_s, u"SZEM"_s, u"KOR"_s, u"NI"_s),
                item(u"BERHONAP"_s, u"BER"_s, u"HONAP"_s, u"C7"_s),
                item(u"BERHO"_s, u"BER"_s, u"HONAP"_s, u"C7"_s, u"MET"_s),
                item(u"BEROSSZEG"_s, u"BER"_s, u"OSSZEG"_s, u"N"_s, u"SUM"_s),
                item(u"BERTNAP"_s, u"BERT"_s, u"NAP"_s, u"NI"_s, u"SUM"_s),
                item(u"OSZTNEV"_s, u"OSZT"_s, u"NEV"_s, u"C30"_s)});
    return c;
}

GeneratorSettings settings(const QString& dialect)
{
    GeneratorSettings s;
    s.dialect = dialect;
    s.userName = u"Kovács Béla"_s;
    s.now = QDateTime(QDate(2024, 5, 6), QTime(10, 15, 0));
    return s;
}

const QString T = u"TMPKovacs_Be20240506101500000"_s;

// The script with its temporary names in place of $T (result table), $V (restricted view of
// SZEM) and $X (the intermediate tables of dialect "P", + a digit).
QString golden(QString text)
{
    return text.replace(u"$T"_s, T)
        .replace(u"$V"_s, u"TMPKovacs_Be2024050610150_SZEM"_s)
        .replace(u"$X"_s, u"TMPXKovacs_Be24050610150000"_s);
}

} // namespace

class TestKvarcelScript : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDb> m_db;

    ScriptGenerator generator() { return ScriptGenerator(ScriptGenerator::probeOn(u"d_mivo"_s)); }

    // Runs a generated script statement by statement; the rows of its final select.
    QList<QStringList> run(const GeneratedScript& script)
    {
        QList<QStringList> rows;
        QStringList statement;
        for (const QString& line : script.lines) {
            statement << line;
            if (!line.trimmed().endsWith(u';'))
                continue;
            QString text = statement.join(u'\n').trimmed();
            text.chop(1);
            statement.clear();
            db::Query q(u"d_mivo"_s);
            q.setParamCheck(false);
            q.setSql(text);
            if (!q.exec()) {
                drop(script);
                QTest::qFail(qPrintable(q.lastError() + u"\n"_s + text), __FILE__, __LINE__);
                return {};
            }
            if (text.startsWith(u"select"_s)) {
                rows.clear();
                while (q.next()) {
                    QStringList row;
                    for (int c = 0; c < q.fieldCount(); ++c)
                        row << q.text(q.fieldName(c));
                    rows << row;
                }
            }
        }
        drop(script);
        return rows;
    }
    void drop(const GeneratedScript& script)
    {
        for (const QString& view : script.restrictedSources)
            db::execute(u"d_mivo"_s, u"drop view "_s + view);
        db::execute(u"d_mivo"_s, u"drop table "_s + script.resultTable);
    }

private slots:
    void initTestCase()
    {
        clock::set(QDateTime(QDate(2024, 5, 6), QTime(10, 15, 0)));
        m_db = std::make_unique<TestDb>(QStringList{});
        QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
        for (const QString& s : schema)
            QVERIFY(m_db->exec(s));
    }
    void cleanupTestCase()
    {
        m_db.reset();
        clock::set({});
    }

    // One listed text item of a person-keyed table, nothing grouped: the Part's order of
    // statements, no delete (no number), one grand total without group by.
    void oneTextItem()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMNEME"_s)->kell = u"A"_s;
        const GeneratedScript s = generator().generate(c, joins(), settings(u"O"_s));
        QCOMPARE(s.lines.join(u'\n'), golden(uR"(Create Table $T(
  SZEMID varchar(10)
, SZEMNEME varchar(1)
, SUM_JEL1 varchar(1)
,  SUM_JEL varchar(1)
, OSSZESEN FLOAT
, SUM_FO FLOAT
, SEGED1 FLOAT
, SEGED2 FLOAT
);
Insert into $T (SZEMID,SZEMNEME) select DISTINCT 
 SZEM.ID SZEMID
,SZEM.NEME SZEMNEME
From
  SZEM SZEM
;
Update $T set SZEMID=' ' where SZEMID is null;
Update $T set SZEMNEME=' ' where SZEMNEME is null;
update $T set SUM_FO=1,SUM_JEL1='0',SUM_JEL='0';
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,SZEMID,SZEMNEME)
 select sum(SUM_FO),'1','1'
, ' ' SZEMID, ' ' SZEMNEME
 from $T where SUM_JEL1='0'
;
update $T set OSSZESEN=SUM_FO              where SUM_JEL1<>'0';
select SZEMNEME,OSSZESEN from $T order by SUM_JEL;)"_s));
        QCOMPARE(s.headings, QStringList{u"SZEMNEME"_s});
    }

    // One choice in every dialect: a grouped name, a sorted month, a sum over an outer-joined
    // table, a condition on the person's area.
    void fourDialects_data()
    {
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("script");
        QTest::newRow("O") << u"O"_s << golden(uR"(Create Table $T(
  SZEMID varchar(10)
, BER_ID varchar(10)
, BER_HONAP varchar(7)
, SZEMNEV varchar(40)
, SZEMTERULET varchar(5)
, BERHO varchar(8)
, BEROSSZEG FLOAT
, SUM_JEL1 varchar(1)
,  SUM_JEL varchar(41)
, OSSZESEN FLOAT
, SUM_FO FLOAT
, SEGED1 FLOAT
, SEGED2 FLOAT
);
CREATE VIEW $V as select * from SZEM SZEM
Where
     (SZEM.TERULET  = 'BP')
;
Insert into $T (SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO,BEROSSZEG) select DISTINCT 
 SZEM.ID SZEMID
,BER.ID BER_ID
,BER.HONAP BER_HONAP
,SZEM.NEV SZEMNEV
,SZEM.TERULET SZEMTERULET
,'M'||substr(BER.HONAP,1,7) BERHO
,0 BEROSSZEG
From
  $V SZEM
, BER BER
Where
     (SZEM.ID=BER.ID(+))
;
Update $T set BEROSSZEG=
  ( 
    select SUM(OSSZEG)
    from BER BER
    where 
               ($T.BER_ID=BER.ID)
           and ($T.BER_HONAP=BER.HONAP)
  )
;
Update $T set SZEMID=' ' where SZEMID is null;
Update $T set BER_ID=' ' where BER_ID is null;
Update $T set BER_HONAP=' ' where BER_HONAP is null;
Update $T set SZEMNEV=' ' where SZEMNEV is null;
Update $T set SZEMTERULET=' ' where SZEMTERULET is null;
Update $T set BERHO=' ' where BERHO is null;
Update $T set BEROSSZEG=0 where BEROSSZEG is null;
Delete from $T where not (BEROSSZEG<>0);
update $T set SUM_FO=1,SUM_JEL1='0',SUM_JEL=RPAD(SZEMNEV,40)||'0';
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMNEV,SZEMID,BER_ID,BER_HONAP,SZEMTERULET,BERHO)
 select sum(SUM_FO),'1',RPAD(SZEMNEV,40)||'1'
, sum(BEROSSZEG), SZEMNEV
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
 group by SZEMNEV
;
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO)
 select sum(SUM_FO),'2','9999999999999999999999999999999999999999'||'2'
, sum(BEROSSZEG)
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMNEV, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
;
update $T set OSSZESEN=SUM_FO              where SUM_JEL1<>'0';
select SZEMNEV, BERHO, BEROSSZEG,OSSZESEN from $T order by SUM_JEL, BERHO;)"_s);
        QTest::newRow("I") << u"I"_s << golden(uR"(Create Table $T(
  SZEMID varchar(10)
, BER_ID varchar(10)
, BER_HONAP varchar(7)
, SZEMNEV varchar(40)
, SZEMTERULET varchar(5)
, BERHO varchar(8)
, BEROSSZEG FLOAT
, SUM_JEL1 varchar(1)
,  SUM_JEL varchar(41)
, OSSZESEN FLOAT
, SUM_FO FLOAT
, SEGED1 FLOAT
, SEGED2 FLOAT
);
CREATE VIEW $V as select * from SZEM SZEM
Where
     (SZEM.TERULET  = 'BP')
;
Insert into $T (SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO,BEROSSZEG) select DISTINCT 
 SZEM.ID SZEMID
,BER.ID BER_ID
,BER.HONAP BER_HONAP
,SZEM.NEV SZEMNEV
,SZEM.TERULET SZEMTERULET
,'M'||SUBSTRING(BER.HONAP FROM 1 FOR 7) BERHO
,0 BEROSSZEG
From
  $V SZEM
 LEFT OUTER JOIN BER BER on (SZEM.ID=BER.ID)
;
Update $T set BEROSSZEG=
  ( 
    select SUM(OSSZEG)
    from BER BER
    where 
               ($T.BER_ID=BER.ID)
           and ($T.BER_HONAP=BER.HONAP)
  )
;
Update $T set SZEMID=' ' where SZEMID is null;
Update $T set BER_ID=' ' where BER_ID is null;
Update $T set BER_HONAP=' ' where BER_HONAP is null;
Update $T set SZEMNEV=' ' where SZEMNEV is null;
Update $T set SZEMTERULET=' ' where SZEMTERULET is null;
Update $T set BERHO=' ' where BERHO is null;
Update $T set BEROSSZEG=0 where BEROSSZEG is null;
Delete from $T where not (BEROSSZEG<>0);
update $T set SUM_FO=1,SUM_JEL1='0',SUM_JEL=RPAD(SZEMNEV,40)||'0';
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMNEV,SZEMID,BER_ID,BER_HONAP,SZEMTERULET,BERHO)
 select sum(SUM_FO),'1',RPAD(SZEMNEV,40)||'1'
, sum(BEROSSZEG), SZEMNEV
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
 group by SZEMNEV
;
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO)
 select sum(SUM_FO),'2','9999999999999999999999999999999999999999'||'2'
, sum(BEROSSZEG)
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMNEV, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
;
update $T set OSSZESEN=SUM_FO              where SUM_JEL1<>'0';
select SZEMNEV, BERHO, BEROSSZEG,OSSZESEN from $T order by SUM_JEL, BERHO;)"_s);
        QTest::newRow("M") << u"M"_s << golden(uR"(Create Table $T(
  SZEMID varchar(10)
, BER_ID varchar(10)
, BER_HONAP varchar(7)
, SZEMNEV varchar(40)
, SZEMTERULET varchar(5)
, BERHO varchar(8)
, BEROSSZEG FLOAT
, SUM_JEL1 varchar(1)
,  SUM_JEL varchar(41)
, OSSZESEN FLOAT
, SUM_FO FLOAT
, SEGED1 FLOAT
, SEGED2 FLOAT
);
CREATE VIEW $V as select * from SZEM SZEM
Where
     (SZEM.TERULET  = 'BP')
;
Insert into $T (SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO,BEROSSZEG) select DISTINCT 
 SZEM.ID SZEMID
,BER.ID BER_ID
,BER.HONAP BER_HONAP
,SZEM.NEV SZEMNEV
,SZEM.TERULET SZEMTERULET
,'M'+left(BER.HONAP,7) BERHO
,0 BEROSSZEG
From
  $V SZEM
 LEFT OUTER JOIN BER BER on (SZEM.ID=BER.ID)
;
Update $T set BEROSSZEG=
  ( 
    select SUM(OSSZEG)
    from BER BER
    where 
               ($T.BER_ID=BER.ID)
           and ($T.BER_HONAP=BER.HONAP)
  )
;
Update $T set SZEMID=' ' where SZEMID is null;
Update $T set BER_ID=' ' where BER_ID is null;
Update $T set BER_HONAP=' ' where BER_HONAP is null;
Update $T set SZEMNEV=' ' where SZEMNEV is null;
Update $T set SZEMTERULET=' ' where SZEMTERULET is null;
Update $T set BERHO=' ' where BERHO is null;
Update $T set BEROSSZEG=0 where BEROSSZEG is null;
Delete from $T where not (BEROSSZEG<>0);
update $T set SUM_FO=1,SUM_JEL1='0',SUM_JEL=CAST(SZEMNEV AS CHAR(40))+'0';
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMNEV,SZEMID,BER_ID,BER_HONAP,SZEMTERULET,BERHO)
 select sum(SUM_FO),'1',CAST(SZEMNEV AS CHAR(40))+'1'
, sum(BEROSSZEG), SZEMNEV
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
 group by SZEMNEV
;
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO)
 select sum(SUM_FO),'2','9999999999999999999999999999999999999999'+'2'
, sum(BEROSSZEG)
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMNEV, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
;
update $T set OSSZESEN=SUM_FO              where SUM_JEL1<>'0';
select SZEMNEV, BERHO, BEROSSZEG,OSSZESEN from $T order by SUM_JEL, BERHO;)"_s);
        QTest::newRow("P") << u"P"_s << golden(uR"(Create Table $T(
  SZEMID varchar(10)
, BER_ID varchar(10)
, BER_HONAP varchar(7)
, SZEMNEV varchar(40)
, SZEMTERULET varchar(5)
, BERHO varchar(8)
, BEROSSZEG FLOAT
, SUM_JEL1 varchar(1)
,  SUM_JEL varchar(41)
, OSSZESEN FLOAT
, SUM_FO FLOAT
, SEGED1 FLOAT
, SEGED2 FLOAT
);
CREATE TABLE $V(
  ID Varchar(10)
, NEV Varchar(40)
, NEME Varchar(1)
, TERULET Varchar(5)
, KOR Integer
);
Insert Into $V
Select * from SZEM SZEM
Where
     (SZEM.TERULET  = 'BP')
;
Insert into $T (SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO,BEROSSZEG) select DISTINCT 
 SZEM.ID SZEMID
,BER.ID BER_ID
,BER.HONAP BER_HONAP
,SZEM.NEV SZEMNEV
,SZEM.TERULET SZEMTERULET
,'M'+left(BER.HONAP,7) BERHO
,cast(0 as float) BEROSSZEG
From
  $V SZEM
 LEFT OUTER JOIN BER BER on (SZEM.ID=BER.ID)
;
Update $T set BEROSSZEG=
  ( 
    select SUM(OSSZEG)
    from BER BER
    where 
               ($T.BER_ID=BER.ID)
           and ($T.BER_HONAP=BER.HONAP)
  )
;
Update $T set SZEMID=' ' where SZEMID is null;
Update $T set BER_ID=' ' where BER_ID is null;
Update $T set BER_HONAP=' ' where BER_HONAP is null;
Update $T set SZEMNEV=' ' where SZEMNEV is null;
Update $T set SZEMTERULET=' ' where SZEMTERULET is null;
Update $T set BERHO=' ' where BERHO is null;
Update $T set BEROSSZEG=0 where BEROSSZEG is null;
Delete from $T where not (BEROSSZEG<>0);
update $T set SUM_FO=1,SUM_JEL1='0',SUM_JEL=CAST(SZEMNEV AS CHAR(40))||'0';
Create Table $X0(
  SZEMID varchar(10)
, BER_ID varchar(10)
, BER_HONAP varchar(7)
, SZEMNEV varchar(40)
, SZEMTERULET varchar(5)
, BERHO varchar(8)
, BEROSSZEG FLOAT
, SUM_JEL1 varchar(1)
,  SUM_JEL varchar(41)
, OSSZESEN FLOAT
, SUM_FO FLOAT
, SEGED1 FLOAT
, SEGED2 FLOAT
);
Insert Into $X0 (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMNEV,SZEMID,BER_ID,BER_HONAP,SZEMTERULET,BERHO)
 select cast(SUM_FO as float),cast('1' as varchar(1)),cast(CAST(SZEMNEV AS CHAR(40))||'1' as varchar(41))
, BEROSSZEG, SZEMNEV
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
;
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMNEV,SZEMID,BER_ID,BER_HONAP,SZEMTERULET,BERHO)
select cast(sum(SUM_FO) as float),SUM_JEL1,SUM_JEL, cast(sum(BEROSSZEG) as float)
, SZEMNEV, SZEMID, BER_ID, BER_HONAP, SZEMTERULET, BERHO
 from $X0
group by SUM_JEL1,SUM_JEL,SZEMNEV,SZEMID,BER_ID,BER_HONAP,SZEMTERULET,BERHO
;
drop table $X0;
Create Table $X1(
  SZEMID varchar(10)
, BER_ID varchar(10)
, BER_HONAP varchar(7)
, SZEMNEV varchar(40)
, SZEMTERULET varchar(5)
, BERHO varchar(8)
, BEROSSZEG FLOAT
, SUM_JEL1 varchar(1)
,  SUM_JEL varchar(41)
, OSSZESEN FLOAT
, SUM_FO FLOAT
, SEGED1 FLOAT
, SEGED2 FLOAT
);
Insert Into $X1 (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO)
 select cast(SUM_FO as float),cast('2' as varchar(1)),cast('9999999999999999999999999999999999999999'||'2' as varchar(41))
, BEROSSZEG
, ' ' SZEMID, ' ' BER_ID, ' ' BER_HONAP, ' ' SZEMNEV, ' ' SZEMTERULET, ' ' BERHO
 from $T where SUM_JEL1='0'
;
Insert Into $T (SUM_FO,SUM_JEL1,SUM_JEL,BEROSSZEG,SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO)
select cast(sum(SUM_FO) as float),SUM_JEL1,SUM_JEL, cast(sum(BEROSSZEG) as float)
, SZEMID, BER_ID, BER_HONAP, SZEMNEV, SZEMTERULET, BERHO
 from $X1
group by SUM_JEL1,SUM_JEL,SZEMID,BER_ID,BER_HONAP,SZEMNEV,SZEMTERULET,BERHO
;
drop table $X1;
update $T set OSSZESEN=SUM_FO              where SUM_JEL1<>'0';
select SZEMNEV, BERHO, BEROSSZEG,OSSZESEN,SUM_JEL from $T order by SUM_JEL, BERHO;)"_s);
    }
    void fourDialects()
    {
        QFETCH(QString, dialect);
        QFETCH(QString, script);
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        c.item(u"SZEMNEV"_s)->csoport = u"1"_s;
        c.item(u"BERHO"_s)->kell = u"B"_s;
        c.item(u"BERHO"_s)->rendez = u"1"_s;
        c.item(u"BEROSSZEG"_s)->kell = u"C"_s;
        c.item(u"SZEMTERULET"_s)->feltetel = u" = 'BP'"_s;
        ScriptGenerator g = generator();
        const GeneratedScript s = g.generate(c, joins(), settings(dialect));
        QVERIFY2(s.ok(), qPrintable(s.failure));
        QCOMPARE(s.lines.join(u'\n'), script);
        QCOMPARE(s.conditionsSummary, u"SZEMTERULE: = 'BP'"_s);
    }

    // The Firebird script of the choice runs: totals per name before its rows' coarser total,
    // sums on every total row, blanks in the columns that are neither grouped nor summed.
    void dialectIRuns()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        c.item(u"SZEMNEV"_s)->csoport = u"1"_s;
        c.item(u"BERHO"_s)->kell = u"B"_s;
        c.item(u"BERHO"_s)->rendez = u"1"_s;
        c.item(u"BEROSSZEG"_s)->kell = u"C"_s;
        c.item(u"SZEMTERULET"_s)->feltetel = u" = 'BP'"_s;
        const GeneratedScript s = generator().generate(c, joins(), settings(u"I"_s));
        const QList<QStringList> expected = {
            {u""_s, u""_s, u"450"_s, u"3"_s},
            {u"Kiss Anna"_s, u"M2024.04"_s, u"100"_s, u""_s},
            {u"Kiss Anna"_s, u"M2024.05"_s, u"150"_s, u""_s},
            {u"Kiss Anna"_s, u""_s, u"250"_s, u"2"_s},
            {u"Nagy Béla"_s, u"M2024.05"_s, u"200"_s, u""_s},
            {u"Nagy Béla"_s, u""_s, u"200"_s, u"1"_s},
        };
        QCOMPARE(run(s), expected);
    }

    // Two grouped texts give the levels 1, 2 and 3, the last without "group by"; the keys
    // are padded, so the rows of "KIS" stay together before those of "KISA".
    void groupLevels()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMTERULET"_s)->kell = u"A"_s;
        c.item(u"SZEMTERULET"_s)->csoport = u"1"_s;
        c.item(u"SZEMNEME"_s)->kell = u"B"_s;
        c.item(u"SZEMNEME"_s)->csoport = u"2"_s;
        c.item(u"SZEMKOR"_s)->kell = u"C"_s;
        const GeneratedScript s = generator().generate(c, joins(), settings(u"I"_s));
        QStringList totals;
        for (int i = 0; i < s.lines.size(); ++i)
            if (s.lines[i].startsWith(u"Insert Into "_s + T + u" (SUM_FO"_s))
                totals << s.lines[i + 1].section(u',', 1, 1) + u"|"_s +
                              (s.lines.mid(i, 6).join(u'\n').contains(u" group by "_s) ? u"group"_s
                                                                                       : u"all"_s);
        QCOMPARE(totals, (QStringList{u"'1'|group"_s, u"'2'|group"_s, u"'3'|all"_s}));
        const QList<QStringList> rows = run(s);
        QStringList areas;
        for (const QStringList& r : rows)
            if (!r[0].isEmpty() && (areas.isEmpty() || areas.back() != r[0]))
                areas << r[0];
        QCOMPARE(areas, (QStringList{u"BP"_s, u"KIS"_s, u"KISA"_s, u"PE"_s}));
        // E4 is 0 years old: an all-zero row is left out.
        int people = 0;
        for (const QStringList& r : rows)
            people += r[3].isEmpty() ? 1 : 0;
        QCOMPARE(people, 6);
    }

    // A condition on an item of an outer-joined table makes that join inner; the others
    // stay outer. Three levels of outer joins form one chain, each ON after its tables.
    void outerAndInner()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        c.item(u"BERTNAP"_s)->kell = u"B"_s;
        ScriptGenerator g = generator();
        GeneratorSettings st = settings(u"I"_s);
        st.options.nullas = true;
        GeneratedScript s = g.generate(c, joins(), st);
        const QString text = s.lines.join(u'\n');
        QVERIFY2(text.contains(u"From\n  SZEM SZEM\n LEFT OUTER JOIN BER BER on (SZEM.ID=BER.ID)\n"
                               " LEFT OUTER JOIN BERT BERT on (BER.ID=BERT.ID AND "
                               "BER.HONAP=BERT.HONAP)\n;"_s),
                 qPrintable(text));
        QList<QStringList> rows = run(s);
        // Every person, the one with days once per wage month and kind of day, the total last.
        QCOMPARE(rows.size(), 9 + 1);
        QCOMPARE(rows.back(), (QStringList{u""_s, u"3"_s, u"9"_s}));

        c.item(u"BERHONAP"_s)->feltetel = u" = '2024.05'"_s;
        s = g.generate(c, joins(), st);
        const QString inner = s.lines.join(u'\n');
        QVERIFY2(inner.contains(u"From\n  SZEM SZEM\n,"_s) &&
                     inner.contains(u" LEFT OUTER JOIN BERT BERT on"_s) &&
                     inner.contains(u"Where\n     (SZEM.ID=BER.ID)"_s),
                 qPrintable(inner));
        rows = run(s);
        QCOMPARE(rows.size(), 1 + 3);
    }

    void translateCondition_data()
    {
        QTest::addColumn<QString>("condition");
        QTest::addColumn<QString>("predicate");
        QTest::newRow("or") << u"= 'A' vagy = 'B'"_s << u"(SZEM.NEV = 'A' or SZEM.NEV = 'B')"_s;
        QTest::newRow("and") << u" <> 'A' es  <> 'B'"_s
                             << u"(SZEM.NEV  <> 'A' and SZEM.NEV  <> 'B')"_s;
        QTest::newRow("negated") << u"NEM  = 'A'"_s << u"NOT (SZEM.NEV  = 'A')"_s;
        QTest::newRow("empty") << u" üres"_s << u"SZEM.NEV   is null "_s;
        QTest::newRow("quoted words")
            << u" = 'Kiss es Nagy vagy üres'"_s << u"SZEM.NEV  = 'Kiss es Nagy vagy üres'"_s;
        QTest::newRow("apostrophe")
            << u" = 'O''Brien' vagy  = 'X'"_s << u"(SZEM.NEV  = 'O''Brien' or SZEM.NEV  = 'X')"_s;
        QTest::newRow("keyword") << u" = '%ma%'"_s << u"SZEM.NEV  = '2024.05.06'"_s;
    }
    void translateCondition()
    {
        QFETCH(QString, condition);
        QFETCH(QString, predicate);
        QCOMPARE(kvarcel::translateCondition(condition, u"SZEM"_s, u"NEV"_s, PeriodKeywords()),
                 predicate);
    }

    void columnExpression_data()
    {
        QTest::addColumn<QString>("muvelet");
        QTest::addColumn<QString>("dialect");
        QTest::addColumn<QString>("expression");
        QTest::newRow("sum") << u"SUM"_s << u"I"_s << u"SUM(BKH.NAP)"_s;
        QTest::newRow("p60") << u"P60"_s << u"O"_s << u"SUM(BKH.NAP)/60"_s;
        QTest::newRow("bare") << u"I"_s << u"I"_s << u"NAP"_s;
        QTest::newRow("met I") << u"MET"_s << u"I"_s << u"'M'||SUBSTRING(BKH.NAP FROM 1 FOR 7)"_s;
        QTest::newRow("met O") << u"MET"_s << u"O"_s << u"'M'||substr(BKH.NAP,1,7)"_s;
        QTest::newRow("mdt M") << u"MDT"_s << u"M"_s << u"'M'+right(left(BKH.NAP,7),2)"_s;
        QTest::newRow("mdd I") << u"MDD"_s << u"I"_s << u"'M'||SUBSTRING(BKH.NAP FROM 5 FOR 2)"_s;
        QTest::newRow("med P") << u"MED"_s << u"P"_s << u"'M'+left(BKH.NAP,6)"_s;
        QTest::newRow("c2h I") << u"C2H"_s << u"I"_s << u"SUBSTRING(BKH.NAP FROM 101 FOR 100)"_s;
        QTest::newRow("c2h O") << u"C2H"_s << u"O"_s << u"SUBSTR(BKH.NAP,101,100)"_s;
        QTest::newRow("c3h M") << u"C3H"_s << u"M"_s << u"right(left(BKH.NAP,300),100)"_s;
        QTest::newRow("dat O") << u"DAT"_s << u"O"_s << u"TO_CHAR(SYSDATE,'yyyy.mm.dd')"_s;
        QTest::newRow("wod I") << u"WOD"_s << u"I"_s
                               << u"'W?"
                                  "?'"_s;
        QTest::newRow("x") << u"X"_s << u"I"_s << u"BKH.NAP"_s;
        QTest::newRow("t_i") << u"T_I"_s << u"I"_s << u"CAST(1 AS INTEGER)"_s;
    }
    void columnExpression()
    {
        QFETCH(QString, muvelet);
        QFETCH(QString, dialect);
        QFETCH(QString, expression);
        QCOMPARE(ScriptGenerator::columnExpression(muvelet, u"BKH"_s, u"NAP"_s,
                                                   u" CAST(1 AS INTEGER) "_s, dialect),
                 expression);
    }

    // Firebird has neither SUBSTR nor TO_CHAR: the date and month expressions of dialect
    // "I" run.
    void firebirdDateForms()
    {
        const QString date = ScriptGenerator::columnExpression(u"DAT"_s, {}, {}, {}, u"I"_s);
        QCOMPARE(db::scalar(u"d_mivo"_s, u"select "_s + date + u" from rdb$database"_s).toString(),
                 QDate::currentDate().toString(u"yyyy.MM.dd"_s));
        const QString month =
            ScriptGenerator::columnExpression(u"MDT"_s, u"B"_s, u"HONAP"_s, {}, u"I"_s);
        QCOMPARE(
            db::scalar(u"d_mivo"_s, u"select "_s + month + u" from BER B where B.HONAP='2024.04'"_s)
                .toString(),
            u"M04"_s);
    }

    void kulcskeres_data()
    {
        QTest::addColumn<QString>("kulcs");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("keys");
        QTest::newRow("all with ;")
            << u"ID(C10);HONAP(C7);JOGCIM"_s << QString() << u"ID+HONAP+JOGCIM"_s;
        QTest::newRow("further without an item")
            << u"ID(C10)+HONAP(C7)"_s << QString() << u"ID+HONAP"_s;
        QTest::newRow("further item without choice") << u"ID+NEV"_s << QString() << u"ID"_s;
        QTest::newRow("further item chosen") << u"ID+NEV"_s << u"SZEMNEV"_s << u"ID+NEV"_s;
    }
    void kulcskeres()
    {
        QFETCH(QString, kulcs);
        QFETCH(QString, chosen);
        QFETCH(QString, keys);
        Catalogue c = catalogue();
        if (!chosen.isEmpty())
            c.item(chosen)->kell = u"A"_s;
        QCOMPARE(ScriptGenerator::kulcskeres(kulcs, u"SZEM"_s, c, joins()), keys);
    }

    // Items of two trees that never meet: the message and no script.
    void unconnectedTables()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        c.item(u"OSZTNEV"_s)->kell = u"B"_s;
        const GeneratedScript s = generator().generate(c, joins(), settings(u"I"_s));
        QVERIFY(s.lines.isEmpty());
        QCOMPARE(s.failure,
                 u"HIBA. Össze nem kapcsolható táblákból probált adatokat lekérni.  (SZEM,OSZT)"_s);
        c.clearChoices();
        const GeneratedScript none = generator().generate(c, joins(), settings(u"I"_s));
        QVERIFY(none.lines.isEmpty() && none.nothingListed);
        QCOMPARE(none.failure, u"Nem választott ki semmit..."_s);
    }

    // A probe that fails ends generation with the database's text and leaves no script that
    // could run half.
    void failedProbe()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        c.item(u"SZEMNEME"_s)->mezo = u"NINCS_ILYEN"_s;
        c.item(u"SZEMNEME"_s)->kell = u"B"_s;
        const GeneratedScript s = generator().generate(c, joins(), settings(u"I"_s));
        QVERIFY(s.lines.isEmpty());
        QVERIFY2(s.failure.contains(u"NINCS_ILYEN"_s), qPrintable(s.failure));
    }

    // Names of temporary objects are identifiers whatever the user is called, and views
    // stay within 30 characters.
    void temporaryNames_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("table");
        QTest::newRow("accents") << u"Kovács Béla"_s << u"TMPKovacs_Be20240506101500000"_s;
        QTest::newRow("apostrophe") << u" Ödön O'Brien"_s << u"TMPOdon_O_Br20240506101500000"_s;
        QTest::newRow("short") << u"Al"_s << u"TMPAl20240506101500000"_s;
    }
    void temporaryNames()
    {
        QFETCH(QString, user);
        QFETCH(QString, table);
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        c.item(u"SZEMNEME"_s)->feltetel = u" = 'N'"_s;
        GeneratorSettings st = settings(u"I"_s);
        st.userName = user;
        const GeneratedScript s = generator().generate(c, joins(), st);
        QCOMPARE(s.resultTable, table);
        QCOMPARE(s.restrictedSources.size(), 1);
        QVERIFY(s.restrictedSources.front().size() <= 30);
        QVERIFY(s.restrictedSources.front().endsWith(u"_SZEM"_s));
        QCOMPARE(run(s).size(), 1 + 4);
    }

    // Standing filters with their row restrictions, and the time condition of a table.
    void restrictions()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        ListItem date = item(u"SZEMDATUM"_s, u"SZEM"_s, {}, u"C10"_s);
        date.feltetel = u" = '2024.03.31'"_s;
        auto items = c.items();
        items.push_back(date);
        c.setItems(items);
        std::vector<JoinRow> j = joins();
        j[0].tfilter = u"SZEM.NEME<>'X'%1%4%6"_s;
        j[0].idowhere = u"SZEM.ID<>'%1'"_s;
        j[0].idomezo = u"SZEMDATUM"_s;
        GeneratorSettings st = settings(u"O"_s);
        st.irnokmh = u"A1,B2"_s;
        st.teruletek = u"BP"_s;
        st.fonoke = u"F1"_s;
        const GeneratedScript s = generator().generate(c, j, st);
        const QString text = s.lines.join(u'\n');
        QVERIFY2(text.contains(uR"(Where
     (SZEM.ID<>'2024.03.31')
 and (SZEM.NEME<>'X')
 and (SZEM.ID in (select id from valt_munkahely a where tol=(select max(tol) from valt_munkahely b where a.id=b.id and b.tol<='2024.03.31') and kod in ('A1','B2') ))
 and (SZEM.ID in (select id from szem where terulet in ('BP') or terulet is null))
 and (not SZEM.ID like 'E%' )
;)"_s),
                 qPrintable(text));
    }

    // The period keywords follow the period month of SYSFILE; without it they are empty.
    void periodKeywords_data()
    {
        QTest::addColumn<bool>("sysfile");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<QString>("value");
        QTest::newRow("aktho") << true << u"2024.03"_s << u"%aktho%"_s << u"2024.03"_s;
        QTest::newRow("aktho compact") << true << u"202403"_s << u"%AKTHO%"_s << u"202403"_s;
        QTest::newRow("no sysfile") << false << u""_s << u"%aktho%"_s << u""_s;
        QTest::newRow("ma without") << false << u""_s << u"%ma%"_s << u"2024.05.06"_s;
        QTest::newRow("hovege") << false << u""_s << u"%hovege%"_s << u"2024.05.31"_s;
        QTest::newRow("hoeleje") << false << u""_s << u"%hoeleje%"_s << u"2024.05.01"_s;
        QTest::newRow("akthoeleje") << true << u"2024.02"_s << u"%akthoeleje%"_s << u"2024.02.01"_s;
        QTest::newRow("akthovege leap")
            << true << u"2024.02"_s << u"%akthovege%"_s << u"2024.02.29"_s;
        QTest::newRow("zartho over year") << true << u"202401"_s << u"%zartho%"_s << u"202312"_s;
        QTest::newRow("zarthovege") << true << u"2024.03"_s << u"%zarthovege%"_s << u"2024.02.29"_s;
        QTest::newRow("aktzartho before 18th")
            << true << u"2024.03"_s << u"%aktzartho%"_s << u"2024.04"_s;
        QTest::newRow("januar") << true << u"2024.03"_s << u"%januar%"_s << u"2024.01"_s;
        QTest::newRow("multjan") << true << u"202403"_s << u"%multjan%"_s << u"202301"_s;
        QTest::newRow("multdec") << true << u"2024.03"_s << u"%multdec%"_s << u"2023.12"_s;
        QTest::newRow("ev") << true << u"2024.03"_s << u"%ev%"_s << u"2024"_s;
        QTest::newRow("multev") << true << u"2024.03"_s << u"%multev%"_s << u"2023"_s;
    }
    void periodKeywords()
    {
        QFETCH(bool, sysfile);
        QFETCH(QString, period);
        QFETCH(QString, keyword);
        QFETCH(QString, value);
        PeriodKeywords k;
        k.setPeriod(sysfile, period);
        QCOMPARE(k.replace(u"x"_s + keyword + u"y"_s), u"x"_s + value + u"y"_s);
    }

    // A condition equal to "%aktho%" on a month item is written with the period itself.
    void periodCondition()
    {
        Catalogue c = catalogue();
        c.item(u"SZEMNEV"_s)->kell = u"A"_s;
        c.item(u"BERHONAP"_s)->feltetel = u" = '%aktho%'"_s;
        GeneratorSettings st = settings(u"O"_s);
        st.keywords.setPeriod(true, u"2024.05"_s);
        QVERIFY(generator()
                    .generate(c, joins(), st)
                    .lines.contains(u"     (BER.HONAP  = '2024.05')"_s));
        st.keywords.setPeriod(false, {});
        QVERIFY(generator().generate(c, joins(), st).lines.contains(u"     (BER.HONAP  = '')"_s));
    }
};

QTEST_GUILESS_MAIN(TestKvarcelScript)
#include "tst_kvarcelscript.moc"
