#include "core/clock.h"
#include "core/ini.h"
#include "core/messages.h"
#include "platform/codepage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;

namespace
{

void writeFile(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(toWindows1250(text));
}

} // namespace

class TestIni : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Ini::instance().clear();
        clock::set(QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
    }
    void cleanup() { clock::set({}); }

    void lines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value"); // "<absent>" when the key must not be read
        QTest::addColumn<QString>("comment");
        QTest::newRow("lower-case key, blanks, comment") << "  cegkod =  VELKOR   // saját cég\r\n"
                                                         << "CEGKOD"
                                                         << "VELKOR"
                                                         << " saját cég";
        QTest::newRow("value keeps case") << "WPWD=None\r\n"
                                          << "WPWD"
                                          << "None"
                                          << "";
        QTest::newRow("star line is a comment") << "*DBSERVER=x.fdb\r\n"
                                                << "DBSERVER"
                                                << "<absent>"
                                                << "";
        QTest::newRow("blank then star") << "   * DBSERVER=x.fdb\r\n"
                                         << "DBSERVER"
                                         << "<absent>"
                                         << "";
        QTest::newRow("no equals sign") << "DBSERVER x.fdb\r\n"
                                        << "DBSERVER"
                                        << "<absent>"
                                        << "";
        QTest::newRow("equals only in comment") << "abc // x=y\r\n"
                                                << "ABC"
                                                << ""
                                                << " x=y";
        QTest::newRow("star line with equals in comment") << "*abc // x=y\r\n"
                                                          << "*ABC"
                                                          << "<absent>"
                                                          << "";
        QTest::newRow("second equals in value") << "FTP_DIR=a=b\r\n"
                                                << "FTP_DIR"
                                                << "a=b"
                                                << "";
        QTest::newRow("empty value present") << "WORK_PATH=\r\n"
                                             << "WORK_PATH"
                                             << ""
                                             << "";
        QTest::newRow("accents in Windows-1250") << "GEPNEV=Írógép ő ű\r\n"
                                                 << "GEPNEV"
                                                 << "Írógép ő ű"
                                                 << "";
        QTest::newRow("LF line ends") << "A=1\nB=2\n"
                                      << "B"
                                      << "2"
                                      << "";
        QTest::newRow("later line wins") << "A=1\r\nA=2\r\n"
                                         << "A"
                                         << "2"
                                         << "";
        QTest::newRow("four-digit year") << "KVARCITRC=trc%EEEE%\r\n"
                                         << "KVARCITRC"
                                         << "trc2026"
                                         << "";
        QTest::newRow("two-digit year") << "X=a%EE%b\r\n"
                                        << "X"
                                        << "a26b"
                                        << "";
        QTest::newRow("last year") << "X=%EEEM%-%EM%\r\n"
                                   << "X"
                                   << "2025-25"
                                   << "";
        QTest::newRow("first occurrence only") << "X=%EE%%EE%\r\n"
                                               << "X"
                                               << "26%EE%"
                                               << "";
        QTest::newRow("blank after placeholder lost") << "X=%EEEE% kész\r\n"
                                                      << "X"
                                                      << "2026kész"
                                                      << "";
    }
    void lines()
    {
        QFETCH(QString, text);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, comment);
        QTemporaryDir dir;
        writeFile(dir.filePath("MIVO.INI"), text);
        QVERIFY(Ini::instance().readFile(dir.filePath("MIVO.INI"), true));
        const int index = Ini::instance().indexOf(key);
        if (value == "<absent>") {
            QCOMPARE(index, -1);
            return;
        }
        QVERIFY(index >= 0);
        QCOMPARE(Ini::instance().value(key.toLower()), value);
        QCOMPARE(Ini::instance().entries()[index].comment, comment);
    }

    void lastYearOnLeapYearEve()
    {
        clock::set(QDateTime(QDate(2024, 12, 31), QTime(12, 0)));
        QCOMPARE(replaceYearPlaceholders("X=%EEEM%"), QString("X=2024"));
    }

    void includesReplaceInOrderAndCyclesStop()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("MIVO.INI"),
                  "A=top\r\nB=top\r\n  @ inc.ini\r\nB=after\r\n@MIVO.INI\r\n");
        writeFile(dir.filePath("inc.ini"),
                  "A=included\r\nB=included\r\nC=included\r\n@inc.ini\r\n@MIVO.INI\r\n");
        ScriptedMessagesGuard messages;
        QVERIFY(Ini::instance().readFile(dir.filePath("MIVO.INI")));
        QCOMPARE(Ini::instance().value("A"), QString("included"));
        QCOMPARE(Ini::instance().value("B"), QString("after"));
        QCOMPARE(Ini::instance().value("C"), QString("included"));
        QVERIFY(messages->texts.isEmpty());
    }

    void missingFilesAreReported()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("MIVO.INI"), "@nincs.ini\r\nA=1\r\n");
        ScriptedMessagesGuard messages;
        QVERIFY(!Ini::instance().readFile("HIANYZIK.INI", false, dir.path()));
        QVERIFY(Ini::instance().readFile("MIVO.INI", false, dir.path()));
        QCOMPARE(messages->texts.size(), 2);
        // The names as they were given, never the folder they were looked for in.
        QCOMPARE(messages->texts[0], QString("Ini file: HIANYZIK.INI not found."));
        QCOMPARE(messages->texts[1], QString("Ini file: nincs.ini not found."));
        QCOMPARE(Ini::instance().fileName(), dir.filePath("MIVO.INI"));
        QCOMPARE(Ini::instance().value("A"), QString("1"));
        QVERIFY(!Ini::instance().readFile(dir.filePath("HIANYZIK.INI"), true));
        QCOMPARE(messages->texts.size(), 2);
    }

    void commandLinesKeepTheirText()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("MIVO.INI"), "COMMAND= del x.txt \r\ncommand=copy a b\r\n");
        QVERIFY(Ini::instance().readFile(dir.filePath("MIVO.INI"), true));
        QCOMPARE(Ini::instance().commands(), QStringList({" del x.txt ", "copy a b"}));
        QCOMPARE(Ini::instance().indexOf("COMMAND"), -1);
    }

    void tableHoldsAtMost255Keys()
    {
        ScriptedMessagesGuard messages;
        for (int i = 0; i < Ini::maxEntries; ++i)
            QCOMPARE(Ini::instance().set(QString("K%1").arg(i), "v"), 0);
        QCOMPARE(Ini::instance().set("k0", "uj", "megjegyzés"), 1);
        QCOMPARE(Ini::instance().set("EGYTOBB", "x"), -1);
        QCOMPARE(messages->texts, QStringList{"Túl sok beállítási paraméter. EGYTOBB=x"});
        QCOMPARE(Ini::instance().indexOf("EGYTOBB"), -1);
        QCOMPARE(Ini::instance().value("K0"), QString("uj"));
    }

    void writeGoesToTheTopFileWithBackup()
    {
        QTemporaryDir dir;
        writeFile(dir.filePath("MIVO.INI"),
                  "* régi megjegyzés\r\nCEGKOD=VELKOR // cég\r\n@inc.ini\r\n");
        writeFile(dir.filePath("inc.ini"), "GEPNEV=Iroda\r\n");
        QVERIFY(Ini::instance().readFile(dir.filePath("MIVO.INI"), true));
        Ini::instance().set("GEPNEV", "Műhely");
        QString error;
        QVERIFY2(Ini::instance().write(&error), qPrintable(error));
        QFile written(dir.filePath("MIVO.INI"));
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(fromWindows1250(written.readAll()),
                 QString("CEGKOD=VELKOR  // cég\r\nGEPNEV=Műhely\r\n"));
        QFile backup(dir.filePath("MIVO.INI.bak"));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QVERIFY(fromWindows1250(backup.readAll()).startsWith("* régi megjegyzés"));
        QFile include(dir.filePath("inc.ini"));
        QVERIFY(include.open(QIODevice::ReadOnly));
        QCOMPARE(include.readAll(), QByteArray("GEPNEV=Iroda\r\n"));

        Ini::instance().clear();
        QVERIFY(Ini::instance().readFile(dir.filePath("MIVO.INI"), true));
        QCOMPARE(Ini::instance().value("GEPNEV"), QString("Műhely"));
    }

    void windows1250RoundTrip()
    {
        const QString text = "ÁÉÍÓÖŐÚÜŰ áéíóöőúüű ô ľ ś";
        const QByteArray bytes = toWindows1250(text);
        QCOMPARE(bytes.size(), text.size());
        QCOMPARE(uchar(bytes[5]), uchar(0xD5)); // Ő
        QCOMPARE(fromWindows1250(bytes), text);
        QCOMPARE(toWindows1250("a€b✓"), QByteArray("a\x80"
                                                   "b?"));
    }
};

QTEST_GUILESS_MAIN(TestIni)
#include "tst_ini.moc"
