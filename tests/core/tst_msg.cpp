#include "core/msg.h"
#include "core/msgdialog.h"
#include "support/modal.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace mivo;

namespace
{

// Runs the action on the message dialog as soon as it is on screen (it is modal).
void whenShown(std::function<void(Tmsgfm*)> action)
{
    whenModal<Tmsgfm>(std::move(action));
}

} // namespace

class TstMsg : public QObject
{
    Q_OBJECT
private slots:
    void titleByKind_data();
    void titleByKind();
    void chosenButtonIndex_data();
    void chosenButtonIndex();
    void defaultButtons();
    void closeAndEscIgnored();
    void messageServiceUsesTheDialog();
};

void TstMsg::titleByKind_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("title");
    QTest::newRow("question") << 0 << "   Kérem, döntsön!";
    QTest::newRow("warning") << 1 << "   Figyelmeztetés";
    QTest::newRow("error") << 2 << "   Hiba történt";
    QTest::newRow("dialog") << 3 << "   Párbeszéd ablak";
    QTest::newRow("any other") << 9 << "   Párbeszéd ablak";
}

void TstMsg::titleByKind()
{
    QFETCH(int, kind);
    QFETCH(QString, title);
    Tmsgfm dialog(QStringLiteral("Szöveg"), MessageKind(kind), {});
    QCOMPARE(dialog.windowTitle(), title);
}

void TstMsg::chosenButtonIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 1;
    QTest::newRow("last") << 2;
}

void TstMsg::chosenButtonIndex()
{
    QFETCH(int, index);
    QMainWindow main;
    main.setGeometry(100, 100, 900, 700);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));

    const TmsgButtons captions{QStringLiteral("Mentés"),
                               QStringLiteral("Elvetés hosszú felirattal"),
                               QStringLiteral("Mégse")};
    QStringList texts;
    QList<QRect> geometries;
    QPoint centre;
    bool allBold = true;
    whenShown([&](Tmsgfm* dialog) {
        for (QPushButton* b : dialog->buttons()) {
            texts << b->text();
            geometries << b->geometry();
            allBold = allBold && b->font().bold();
        }
        centre = dialog->frameGeometry().center();
        QTest::mouseClick(dialog->buttons().at(index), Qt::LeftButton);
    });
    QCOMPARE(
        Tmsgfm::ask(QStringLiteral("Mentsük a változásokat?"), MessageKind::Question, captions),
        index);

    QCOMPARE(texts, QStringList({"&Mentés", "&Elvetés hosszú felirattal", "&Mégse"}));
    QVERIFY(allBold);
    QFont bold = QApplication::font();
    bold.setBold(true);
    const int width = QFontMetrics(bold).horizontalAdvance(captions[1]) + 40;
    for (int i = 0; i < geometries.size(); ++i) {
        QCOMPARE(geometries[i].width(), width);
        QCOMPARE(geometries[i].left(), geometries[0].left());
        QCOMPARE(geometries[i].top() - geometries[0].top(), i * 28);
    }
    QVERIFY(qAbs(centre.x() - main.frameGeometry().center().x()) <= 2);
    QVERIFY(qAbs(centre.y() - main.frameGeometry().center().y()) <= 2);
}

void TstMsg::defaultButtons()
{
    Tmsgfm dialog(QStringLiteral("Töröljük?"), MessageKind::Question, {});
    QCOMPARE(dialog.buttons().size(), 2);
    QCOMPARE(dialog.buttons()[0]->text(), QStringLiteral("&Igen"));
    QCOMPARE(dialog.buttons()[1]->text(), QStringLiteral("&Nem"));
    // The message sits at the top left, the buttons to its right.
    auto* message = dialog.findChild<QLabel*>(QStringLiteral("l_uzenet"));
    QVERIFY(message);
    QCOMPARE(message->text(), QStringLiteral("Töröljük?"));
    QVERIFY(dialog.buttons()[0]->geometry().left() > message->geometry().right());
    QVERIFY(dialog.rect().contains(dialog.buttons()[1]->geometry()));
}

void TstMsg::closeAndEscIgnored()
{
    bool stillShownAfterEsc = false;
    bool stillShownAfterClose = false;
    bool hasCloseButton = true;
    whenShown([&](Tmsgfm* dialog) {
        hasCloseButton = dialog->windowFlags().testFlag(Qt::WindowCloseButtonHint);
        QTest::keyClick(dialog, Qt::Key_Escape);
        stillShownAfterEsc = dialog->isVisible();
        dialog->close();
        stillShownAfterClose = dialog->isVisible();
        dialog->buttons().at(1)->click();
    });
    QCOMPARE(Tmsgfm::ask(QStringLiteral("Biztos?"), MessageKind::Warning), 1);
    QVERIFY(!hasCloseButton);
    QVERIFY(stillShownAfterEsc);
    QVERIFY(stillShownAfterClose);
}

void TstMsg::messageServiceUsesTheDialog()
{
    DialogMessages service;
    QString title;
    whenShown([&](Tmsgfm* dialog) {
        title = dialog->windowTitle();
        dialog->buttons().at(1)->click();
    });
    QCOMPARE(service.ask(QStringLiteral("Folytassuk?"), MessageKind::Question, {}), 1);
    QCOMPARE(title, QStringLiteral("   Kérem, döntsön!"));

    QStringList captions;
    whenShown([&](Tmsgfm* dialog) {
        title = dialog->windowTitle();
        for (QPushButton* b : dialog->buttons())
            captions << b->text();
        dialog->buttons().at(0)->click();
    });
    service.show(QStringLiteral("Nem tudok kapcsolódni az adatbázishoz."), MessageKind::Error);
    QCOMPARE(title, QStringLiteral("   Hiba történt"));
    QCOMPARE(captions, QStringList{QStringLiteral("&OK")});
}

QTEST_MAIN(TstMsg)
#include "tst_msg.moc"
