// mivo-screenshots FOLDER: the user guide's pictures, taken of the real program on the
// database that MIVO.INI of the current folder names (scripts/screenshots runs it on a fresh
// demo database under Xvfb). Every picture is one window as the menu item opens it.
#include "mivomain.h"

#include "core/messages.h"
#include "core/msgdialog.h"
#include "core/translation.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QSet>
#include <QTextStream>
#include <QTimer>

using namespace mivo;
using namespace Qt::StringLiterals;

namespace
{

struct Shot {
    const char* file;
    const char* component; ///< menu item; empty for the main window itself
};

// The order of the user guide.
const Shot shots[] = {
    {"fomenu", ""},
    {"ugyfelek", "ugyfelek"},
    {"szervizigeny", "hibafelvetel"},
    {"kiosztas", "kiosztas"},
    {"napilista", "napilista"},
    {"munkazaras", "munkazaras"},
    {"kieso", "szerelokiesoido"},
    {"kulsos", "kulsosmunka"},
    {"keszulekek", "Kszlkek1"},
    {"tevekenyseglista", "tevekenyseglista"},
    {"teljeslista", "Teljestevkenysglista1"},
    {"kvarcel", "Sajtsszelltslista1"},
    {"excelbeolvasas", "elsobeo"},
    {"levelek", "levelgen"},
};

QSet<QWidget*> visibleWindows()
{
    QSet<QWidget*> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->isWindow() && !w->inherits("QMenu"))
            windows << w;
    return windows;
}

// Opens the item, waits until its window has drawn its data, saves it and closes it.
bool take(Tmivomainfm& main, const Shot& shot, const QDir& folder)
{
    const QString component = QString::fromLatin1(shot.component);
    QAction* item = component.isEmpty() ? nullptr : main.action(component);
    if (item && !item->isEnabled())
        return false;
    const QSet<QWidget*> before = item ? visibleWindows() : QSet<QWidget*>{};
    bool saved = false, done = false;
    QEventLoop loop;
    QTimer::singleShot(2500, [&] {
        QWidget* window = item ? nullptr : &main;
        if (item)
            for (QWidget* w : visibleWindows())
                if (!before.contains(w))
                    window = w;
        if (window) {
            saved =
                window->grab().save(folder.filePath(QString::fromLatin1(shot.file) + ".png"_L1));
            if (window != &main) {
                if (auto* dialog = qobject_cast<QDialog*>(window))
                    dialog->reject();
                window->close();
            }
        }
        done = true;
        loop.quit();
    });
    if (item)
        item->trigger();
    if (!done)
        loop.exec();
    return saved;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        QTextStream(stderr) << "Használat: mivo-screenshots MAPPA" << Qt::endl;
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    installHungarianTranslation(app);
    messages::install(std::make_unique<DialogMessages>());
    Tmivomainfm main;
    main.resize(1280, 720);
    main.show();
    if (!main.runStartup())
        return 1;
    QTextStream out(stdout);
    for (const Shot& shot : shots)
        out << shot.file << (take(main, shot, folder) ? " kész" : " kimaradt") << Qt::endl;
    return 0;
}
