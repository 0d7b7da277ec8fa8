// The text file editor headless on real files: encodings and line ends kept byte for byte,
// saves that fail leave the old file, the closing question's answers, and the text report.
#include "framework/qrtextnez.h"
#include "framework/texteditfm.h"
#include "framework/torzsopener.h"

#include "core/messages.h"
#include "platform/codepage.h"
#include "reports/reportpainter.h"
#include "support/modal.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestTextEdit : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    // Opens the editor on the file through the "Text" button route and runs the steps on it.
    void edit(const QString& path, std::function<void(TTextEditfm*)> steps)
    {
        TTextEditfm editor;
        bool ran = false;
        whenModal<TTextEditfm>([&](TTextEditfm* e) {
            steps(e);
            ran = true;
            if (e->isVisible())
                e->done(0);
        });
        QVERIFY(editTextFile(path));
        QVERIFY(ran);
    }

private slots:
    void missingFileThenSaveCreatesIt()
    {
        ScriptedMessagesGuard messages;
        const QString path = m_dir.filePath(u"uj.txt"_s);
        edit(path, [&](TTextEditfm* e) {
            QCOMPARE(e->editor()->toPlainText(), QString());
            QCOMPARE(e->findChild<QLabel*>(u"l_fajlnev"_s)->text(), path);
            e->editor()->setPlainText(u"első sor\nmásodik ű"_s);
            QVERIFY(e->save());
            QVERIFY(!e->editor()->document()->isModified());
        });
        QCOMPARE(bytesOf(path), u"első sor\nmásodik ű"_s.toUtf8());
        QCOMPARE(messages->texts, QStringList{u"A szöveget mentettük"_s});
    }

    void encodingsKept_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("windows-1250 crlf") << toWindows1250(u"Tűzhely őrző\r\nmásik sor\r\n"_s);
        QTest::newRow("utf-8 lf") << u"Tűzhely őrző\nmásik sor\n"_s.toUtf8();
    }
    void encodingsKept()
    {
        QFETCH(QByteArray, bytes);
        ScriptedMessagesGuard messages;
        const QString path = m_dir.filePath(u"kodlap.txt"_s);
        writeBytes(path, bytes);
        edit(path, [](TTextEditfm* e) {
            QVERIFY(e->editor()->toPlainText().startsWith(u"Tűzhely őrző\nmásik"_s));
            QVERIFY(e->save());
        });
        QCOMPARE(bytesOf(path), bytes);
    }

    void failedSaves_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << u"nincs/ilyen.txt"_s;
        QTest::newRow("a folder") << u"mappa"_s;
    }
    void failedSaves()
    {
        QFETCH(QString, target);
        ScriptedMessagesGuard messages;
        QDir(m_dir.path()).mkpath(u"mappa"_s);
        const QString path = m_dir.filePath(u"regi.txt"_s);
        writeBytes(path, "régi");
        edit(path, [&](TTextEditfm* e) {
            e->editor()->appendPlainText(u"új"_s);
            QVERIFY(!e->saveAs(m_dir.filePath(target)));
            QCOMPARE(e->fileName(), path);
            QCOMPARE(bytesOf(path), QByteArray("régi"));
            QVERIFY(e->editor()->document()->isModified());
            QVERIFY(e->editor()->toPlainText().endsWith(u"új"_s));
            // "Mentés és kilépés" whose save fails stays open.
            messages->queueAnswers({0});
            QFile::remove(path);
            QDir(m_dir.path()).mkpath(u"regi.txt"_s);
            QVERIFY(!e->back());
            QVERIFY(e->isVisible());
            QDir(m_dir.path()).rmdir(u"regi.txt"_s);
            messages->queueAnswers({1});
            QVERIFY(e->back());
        });
        QCOMPARE(messages->texts.size(), 4);
        QVERIFY(!messages->texts[0].isEmpty());
        QCOMPARE(messages->texts[1], u"Menti a változtatásokat?"_s);
        QVERIFY(!QFile::exists(path));
    }

    void saveAs()
    {
        ScriptedMessagesGuard messages;
        const QString path = m_dir.filePath(u"elso.txt"_s);
        const QString other = m_dir.filePath(u"masodik.TXT"_s);
        writeBytes(path, "egy");
        edit(path, [&](TTextEditfm* e) {
            e->editor()->setPlainText(u"kettő"_s);
            QVERIFY(e->saveAs(other));
            QCOMPARE(e->fileName(), other);
            QCOMPARE(e->findChild<QLabel*>(u"l_fajlnev"_s)->text(), other);
        });
        QCOMPARE(bytesOf(path), QByteArray("egy"));
        QCOMPARE(bytesOf(other), u"kettő"_s.toUtf8());
        QCOMPARE(messages->texts, QStringList{u"A szöveget mentettük "_s + other + u" néven"_s});
    }

    void closingQuestion_data()
    {
        QTest::addColumn<bool>("typed");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("unchanged") << false << -1 << true << QByteArray("alap");
        QTest::newRow("save and leave") << true << 0 << true << QByteArray("alapx");
        QTest::newRow("leave without saving") << true << 1 << true << QByteArray("alap");
        QTest::newRow("keep editing") << true << 2 << false << QByteArray("alap");
    }
    void closingQuestion()
    {
        QFETCH(bool, typed);
        QFETCH(int, answer);
        QFETCH(bool, closed);
        QFETCH(QByteArray, file);
        ScriptedMessagesGuard messages;
        const QString path = m_dir.filePath(u"kerdes.txt"_s);
        writeBytes(path, "alap");
        edit(path, [&](TTextEditfm* e) {
            if (typed) {
                e->editor()->moveCursor(QTextCursor::End);
                QTest::keyClicks(e->editor(), u"x"_s);
                messages->queueAnswers({answer});
            }
            // The window's close button acts as "Vissza".
            QCloseEvent event;
            QCoreApplication::sendEvent(e, &event);
            QCOMPARE(e->isVisible(), !closed);
            if (!closed)
                QCOMPARE(e->editor()->toPlainText(), u"alapx"_s);
        });
        QCOMPARE(messages->texts.contains(u"Menti a változtatásokat?"_s), typed);
        QCOMPARE(bytesOf(path), file);
    }

    void longTextOverPages()
    {
        QStringList lines;
        for (int i = 1; i <= 90; ++i)
            lines << u"%1. sor: hosszú szöveg őrző tűzhely, "_s.arg(i).repeated(i == 5 ? 8 : 1);
        auto report = TqrTextNez(lines);
        const QString pdf = m_dir.filePath(u"szoveg.pdf"_s);
        QString error;
        QVERIFY2(report::writePdf(*report, pdf, &error), qPrintable(error));
        QProcess p;
        p.start(u"pdftotext"_s, {u"-layout"_s, pdf, u"-"_s});
        QVERIFY(p.waitForFinished());
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY(text.contains(u"1. sor: hosszú szöveg őrző tűzhely"_s));
        QVERIFY(text.contains(u"90. sor"_s));
        QVERIFY2(text.count(u'\f') >= 2, "the text goes on over a second page");
    }
};

QTEST_MAIN(TestTextEdit)
#include "tst_texteditfm.moc"
