#include "core/ini.h"
#include "core/messages.h"
#include "core/paths.h"
#include "exchange/ftp.h"
#include "framework/alapdat.h"
#include "framework/editorhooks.h"
#include "framework/rights.h"
#include "framework/torzsdata.h"
#include "framework/torzsentry.h"
#include "platform/dbconnection.h"
#include "platform/dbquery.h"
#include "support/ftpserver.h"
#include "support/testdb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariant scalarOf(const QString& sql)
{
    return db::scalar(u"d_mivo"_s, sql);
}

std::unique_ptr<TorzsData> openCustomers()
{
    auto d = std::make_unique<TorzsData>(torzs::parseSpec(u"UGYFEL"_s));
    d->rights = ReadTableRights(d->tableSpec().rightsName);
    const QStringList fields{u"KOD"_s, u"NEV"_s, u"VAROS"_s};
    if (!d->openStructure() || !d->setColumns(fields))
        return nullptr;
    d->writeRecordsQuery(u"KOD"_s);
    d->reopen();
    return d;
}

TorzsInputs inputs(const QString& kod, const QString& nev, const QString& varos)
{
    TorzsInputs in;
    in[u"KOD"_s] = TorzsInput{kod, false, true, false, false, {}};
    in[u"NEV"_s] = TorzsInput{nev, false, true, false, false, {}};
    in[u"VAROS"_s] = TorzsInput{varos, false, true, false, false, {}};
    return in;
}

} // namespace

class TestFtpRecorder : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(m_program.isValid() && m_storage.isValid());
        paths::setProgramDir(m_program.path());
        QVERIFY(QDir(m_storage.path()).mkpath(u"mivo/adat"_s));
        Ini& ini = Ini::instance();
        ini.clear();
        ini.set(u"FTP_USER"_s, FtpServer::user());
        ini.set(u"FTP_PASSWORD"_s, FtpServer::password());
        ini.set(u"FTP_DIR"_s, u"mivo/adat"_s);
        ini.set(u"FTP_ID"_s, u"S1"_s);
    }
    void cleanup()
    {
        setChangeScriptRecorder(nullptr);
        Ini::instance().clear();
        db::Connection::named(Tdm::connectionName).clear();
    }

    void storesGoToTheScriptAndAWaitingOneIsNotLost()
    {
        TestDb db;
        QVERIFY(db.ok());
        QVERIFY(Tdm::instance().connect());
        QString error;
        QVERIFY2(m_server.start(m_storage.path(), &error), qPrintable(error));
        Ini::instance().set(u"FTP_SERVER"_s, m_server.host());
        QVERIFY(db.exec(u"UPDATE TABLAK SET AFTERPOST=1 WHERE TABLANEV='UGYFEL'"_s));
        QVERIFY(db.exec(u"INSERT INTO UGYFEL (KOD, NEV, VAROS) VALUES (10, 'Régi', 'Pécs')"_s));
        QVERIFY(db.exec(u"INSERT INTO UGYFEL (KOD, NEV) VALUES (11, 'Másik')"_s));
        // The sequence comes from the generator, whatever the table holds: another workstation
        // may have drawn numbers that are not committed yet.
        QVERIFY(db.exec(u"SET GENERATOR GEN_FTP TO 41"_s));
        QVERIFY(db.exec(u"INSERT INTO FTP_SEND (ID) VALUES (1000)"_s));

        exchange::FtpChangeRecorder recorder;
        recorder.ftp().setLimits(2, 5);
        setChangeScriptRecorder(&recorder);
        ScriptedMessagesGuard messages;
        auto editor = openCustomers();
        QVERIFY(editor);
        const QString script = m_storage.filePath(u"mivo/adat/doit.sql"_s);
        QStringList lines; // every statement recorded, in order
        const auto store = [&](TorzsState state, const TorzsInputs& in, int row) {
            messages->texts.clear();
            QCOMPARE(editor->store(state, in, row).outcome, TorzsStoreResult::Stored);
            lines << QString::fromUtf8(readFile(exchange::FtpChangeRecorder::sendFileName()));
            editor->reopen();
        };
        const auto netatad = [](int kod) {
            // Brackets keep the blank that the driver would trim.
            return scalarOf(
                       u"SELECT '[' || COALESCE(NETATAD, 'null') || ']' FROM UGYFEL WHERE KOD = %1"_s
                           .arg(kod))
                .toString();
        };

        // 1: a new customer; its generated key goes along.
        store(TorzsState::Insert, inputs({}, u"Új Ügyfél"_s, u"Győr"_s), -1);
        const int newKod = scalarOf(u"SELECT KOD FROM UGYFEL WHERE NEV = 'Új Ügyfél'"_s).toInt();
        QCOMPARE(lines.last(), u"/*S1_0000042*/ UPDATE OR INSERT INTO UGYFEL (NEV,VAROS,KOD) "
                               u"Values ('Új Ügyfél','Győr',%1);\r\n"_s.arg(newKod));
        const qint64 firstSize = lines.last().toUtf8().size();
        QCOMPARE(messages->texts,
                 QStringList{u"0 bytes sent before, and %1 bytes sent after"_s.arg(firstSize)});
        QCOMPARE(netatad(newKod), u"[!]"_s);
        QCOMPARE(netatad(10), u"[null]"_s);
        QCOMPARE(netatad(11), u"[null]"_s);

        // 2: a change; only that row is marked.
        store(TorzsState::Update, inputs(u"10"_s, u"O'Brien"_s, u"Pécs"_s), editor->locate({10}));
        QCOMPARE(lines.last(), u"/*S1_0000043*/ UPDATE OR INSERT INTO UGYFEL (KOD,NEV,VAROS) "
                               u"Values (10,'O''Brien','Pécs');\r\n"_s);
        QCOMPARE(messages->texts.value(0).section(QLatin1Char(' '), 0, 0).toLongLong(), firstSize);
        QCOMPARE(netatad(10), u"[!]"_s);
        QCOMPARE(netatad(11), u"[null]"_s);
        QCOMPARE(readFile(script), (lines[0] + lines[1]).toUtf8());

        // 3: the server is gone: the append fails, the row says "not sent".
        m_server.kill();
        store(TorzsState::Update, inputs(u"11"_s, u"Harmadik"_s, {}), editor->locate({11}));
        QCOMPARE(messages->texts.size(), 1);
        QCOMPARE(netatad(11), u"[ ]"_s);
        QCOMPARE(readFile(exchange::FtpChangeRecorder::backlogFileName()),
                 (u"\r\n"_s + lines[2]).toUtf8());

        // 4: still no connection: nothing shown, the mark left alone, the statement waits.
        store(TorzsState::Insert, inputs({}, u"Negyedik"_s, {}), -1);
        const int fourth = scalarOf(u"SELECT KOD FROM UGYFEL WHERE NEV = 'Negyedik'"_s).toInt();
        QCOMPARE(messages->texts, QStringList());
        QCOMPARE(netatad(fourth), u"[null]"_s);

        // 5: the server cuts the append after a few bytes: a fragment stays there.
        QVERIFY(m_server.start(m_storage.path(), {.throttle = 32, .dropAfter = 40}, &error));
        store(TorzsState::Update, inputs(u"11"_s, u"Ötödik"_s, {}), editor->locate({11}));
        QCOMPARE(messages->texts.size(), 1);
        QCOMPARE(netatad(11), u"[ ]"_s);
        const QByteArray withFragment = readFile(script);
        QVERIFY(withFragment.size() > (lines[0] + lines[1]).toUtf8().size());

        // 6: the next append carries everything that waited, on lines of their own.
        QVERIFY(m_server.start(m_storage.path(), &error));
        store(TorzsState::Update, inputs(u"10"_s, u"Hatodik"_s, {}), editor->locate({10}));
        QCOMPARE(netatad(10), u"[!]"_s);
        QVERIFY(!QFile::exists(exchange::FtpChangeRecorder::backlogFileName()));
        const QByteArray all = readFile(script);
        QVERIFY(all.startsWith(withFragment));
        QVERIFY(all.endsWith((u"\r\n"_s + lines[2] + lines[3] + lines[4] + lines[5]).toUtf8()));
        const QStringList remote = QString::fromUtf8(all).split(u"\r\n"_s);
        for (const QString& line : lines)
            QVERIFY(remote.contains(line.chopped(2)));
        for (const QString& line : remote) // whole statements, empty lines and one fragment
            QVERIFY(line.isEmpty() || line.endsWith(u");"_s) ||
                    lines.join(QString()).contains(line));
        QCOMPARE(readFile(exchange::FtpChangeRecorder::sendFileName()), lines.last().toUtf8());
        QCOMPARE(scalarOf(u"SELECT COUNT(*) FROM FTP_SEND"_s).toInt(), 7);
    }

    void aTableWithoutTheMarkIsLeftAlone()
    {
        TestDb db;
        QVERIFY(db.ok());
        QVERIFY(Tdm::instance().connect());
        QString error;
        QVERIFY2(m_server.start(m_storage.path(), &error), qPrintable(error));
        Ini::instance().set(u"FTP_SERVER"_s, m_server.host());
        QVERIFY(db.exec(u"INSERT INTO NAPIREND (SZERELOKOD, DATUM, MUNKAKEPES) VALUES ('SZ0001', "
                        u"'2026.01.05', 'I')"_s));
        exchange::FtpChangeRecorder recorder;
        ScriptedMessagesGuard messages;
        recorder.record(u"NAPIREND"_s,
                        u"UPDATE NAPIREND SET MUNKAKEPES= :MUNKAKEPES WHERE SZERELOKOD= "
                        u":OLD_SZERELOKOD AND DATUM= :OLD_DATUM"_s,
                        {{u"munkakepes"_s, u"N"_s},
                         {u"old_szerelokod"_s, u"SZ0001"_s},
                         {u"old_datum"_s, u"2026.01.05"_s}});
        QCOMPARE(messages->texts.size(), 1); // the byte counts, no database error
        QVERIFY(messages->texts.value(0).endsWith(u"bytes sent after"_s));
        QVERIFY(readFile(m_storage.filePath(u"mivo/adat/doit.sql"_s))
                    .contains("UPDATE OR INSERT INTO NAPIREND (MUNKAKEPES) Values ('N');"));
    }

private:
    QTemporaryDir m_program;
    QTemporaryDir m_storage;
    FtpServer m_server;
};

QTEST_GUILESS_MAIN(TestFtpRecorder)
#include "tst_ftprecorder.moc"
