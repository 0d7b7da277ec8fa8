// The screen registry and the commands that a screen's menu, buttons and keys share.
#include "core/screen.h"
#include "core/screenregistry.h"

#include <QAction>
#include <QPushButton>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

class ProbeScreen : public Screen
{
public:
    explicit ProbeScreen(QWidget* parent) : Screen(parent)
    {
        addCommandButton(u"tarol"_s, u"&Tárolás"_s, [this] { ++stores; });
        finishButtonBar();
    }
    void initialise() override { ++openings; }
    int openings = 0;
    int stores = 0;
};

} // namespace

class TestScreen : public QObject
{
    Q_OBJECT

private slots:
    void registryCreatesEachScreenOnceAndPassesTheMode()
    {
        QWidget owner;
        ScreenRegistry registry;
        int created = 0;
        const auto factory = [&created](QWidget* parent) {
            ++created;
            return new ProbeScreen(parent);
        };
        registry.addScreen(u"kiosztas"_s, u"Tadatfelvfm"_s, u"M"_s, factory);
        registry.addScreen(u"zartajto"_s, u"Tadatfelvfm"_s, u"Z"_s, factory);
        int commands = 0;
        registry.addCommand(u"ugyfelek"_s, [&commands](QWidget*) { ++commands; });

        QVERIFY(!registry.contains(u"Teljestevkenysglista1"_s));
        QVERIFY(!registry.open(u"Teljestevkenysglista1"_s, u"Teljes tevékenységlista"_s, &owner));
        QVERIFY(registry.open(u"kiosztas"_s, u"Ki nem osztott munka &kiosztása"_s, &owner));
        QVERIFY(registry.open(u"zartajto"_s, u"Zárt ajtós munkák"_s, &owner));
        QVERIFY(registry.open(u"ugyfelek"_s, u"Ügyfelek"_s, &owner));

        QCOMPARE(created, 1);
        QCOMPARE(commands, 1);
        auto* screen = dynamic_cast<ProbeScreen*>(registry.created(u"Tadatfelvfm"_s));
        QVERIFY(screen);
        QCOMPARE(screen->parentWidget(), &owner);
        QCOMPARE(screen->openings, 2);
        QCOMPARE(screen->mode(), u"Z"_s);
        QCOMPARE(screen->windowTitle(), u"Zárt ajtós munkák"_s);
    }

    void buttonsFollowTheirCommand()
    {
        ProbeScreen screen(nullptr);
        QAction* store = screen.commands().command(u"tarol"_s);
        auto* button = screen.findChild<QPushButton*>(u"b_tarol"_s);
        QVERIFY(store && button);
        QCOMPARE(button->text(), u"&Tárolás"_s);

        button->click();
        store->trigger();
        QCOMPARE(screen.stores, 2);

        store->setEnabled(false);
        QVERIFY(!button->isEnabled());
        store->setVisible(false);
        QVERIFY(button->isHidden());
        store->setVisible(true);
        QVERIFY(!button->isHidden());

        // On a tool bar the command's own button, named, with the command's hint.
        QToolBar bar;
        store->setToolTip(u"Tárolás"_s);
        screen.commands().toolButton(u"t_tarol"_s, u"tarol"_s, &bar);
        auto* tool = bar.findChild<QToolButton*>(u"t_tarol"_s);
        QVERIFY(tool);
        QCOMPARE(tool->defaultAction(), store);
    }
};

QTEST_MAIN(TestScreen)
#include "tst_screen.moc"
