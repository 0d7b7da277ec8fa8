#include "mivomain.h"

#include "core/dat.h"
#include "core/messages.h"
#include "core/msgdialog.h"
#include "core/newdatabase.h"
#include "core/translation.h"
#include "core/version.h"
#include "exchange/ftpproc.h"
#include "platform/termination.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

using namespace mivo;

namespace
{

// "mivo --create-database PATH [--demo | --demo-scale N]": builds a database and exits.
int createDatabase(const QCommandLineParser& args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    int customers = 0, jobs = 0, technicians = 0;
    if (args.isSet(QStringLiteral("demo-scale"))) {
        bool ok = false;
        customers = args.value(QStringLiteral("demo-scale")).toInt(&ok);
        if (!ok || customers <= 0) {
            err << "A --demo-scale értéke pozitív egész szám legyen." << Qt::endl;
            return 2;
        }
        jobs = customers * 5;
        technicians = 60;
    } else if (args.isSet(QStringLiteral("demo"))) {
        customers = 300;
    }
    const QString path = args.value(QStringLiteral("create-database"));
    QString error;
    int lastPercent = -1;
    const auto progress = [&](int done, int total) {
        const int percent = total > 0 ? done * 100 / total : 100;
        if (percent / 10 != lastPercent / 10)
            out << percent << "%" << Qt::endl;
        lastPercent = percent;
    };
    if (!createApplicationDatabase(path, customers, jobs, technicians, &error, progress)) {
        err << "Az adatbázis nem hozható létre: " << error << Qt::endl;
        return 1;
    }
    out << "Az adatbázis elkészült: " << path << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("Mivo Szerviz"));
    QCoreApplication::setApplicationVersion(programVersion());
    {
        // Command-line tools run without a display.
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser args;
        args.addOption({QStringLiteral("create-database"),
                        QStringLiteral("Új adatbázis létrehozása."), QStringLiteral("PATH")});
        args.addOption({QStringLiteral("demo"), QStringLiteral("Bemutató adatokkal.")});
        args.addOption({QStringLiteral("demo-scale"),
                        QStringLiteral("Bemutató adatok N ügyféllel."), QStringLiteral("N")});
        args.addHelpOption();
        args.addVersionOption();
        if (args.parse(arguments) && args.isSet(QStringLiteral("create-database"))) {
            QCoreApplication app(argc, argv);
            return createDatabase(args);
        }
    }

    QApplication app(argc, argv);
    termination::install();
    installHungarianTranslation(app);
    messages::install(std::make_unique<DialogMessages>());
    Tmivomainfm window;
    window.show();
    const int code = app.exec();
    // A new program fetched by the update takes the program's place only now that it ended.
    exchange::finishStagedUpdate(QCoreApplication::applicationFilePath(), programVersion());
    Td::instance().clearRunValues();
    return code;
}
