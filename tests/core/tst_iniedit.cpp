#include "core/ini.h"
#include "core/iniedit.h"
#include "core/messages.h"
#include "platform/codepage.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace mivo;

class TestIniEdit : public QObject
{
    Q_OBJECT
private slots:
    void storeAsksAndWritesTheEditedValues()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("MIVO.INI");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(toWindows1250("CEGKOD=VELKOR // saját cég\r\nGEPNEV=Iroda\r\n"));
        }
        Ini::instance().clear();
        QVERIFY(Ini::instance().readFile(path, true));

        Tiniedit editor;
        editor.show();
        QCOMPARE(editor.windowTitle(), QString("Beállítások (INI fájl szerkesztése)"));
        auto* cegkod = editor.findChild<QLineEdit*>("E_CEGKOD");
        QVERIFY(cegkod);
        QCOMPARE(cegkod->text(), QString("VELKOR"));
        QCOMPARE(cegkod->toolTip(), QString(" saját cég"));
        auto* gepnev = editor.findChild<QLineEdit*>("E_GEPNEV");
        gepnev->setText("Műhely gép");

        ScriptedMessagesGuard messages;
        messages->queueAnswers({1, 0});
        auto* store = editor.findChild<QPushButton*>("b_tarolas");
        QTest::mouseClick(store, Qt::LeftButton);
        QCOMPARE(messages->texts, QStringList{"Biztos, hogy tárolja a paramétertáblát?"});
        QCOMPARE(Ini::instance().value("GEPNEV"), QString("Iroda"));
        QTest::mouseClick(store, Qt::LeftButton);
        QCOMPARE(Ini::instance().value("GEPNEV"), QString("Műhely gép"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(fromWindows1250(f.readAll()),
                 QString("CEGKOD=VELKOR  // saját cég\r\nGEPNEV=Műhely gép\r\n"));
        QVERIFY(QFile::exists(path + ".bak"));
    }
};

QTEST_MAIN(TestIniEdit)
#include "tst_iniedit.moc"
