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
using namespace Qt::StringLiterals;

namespace
{

// The options with their Hungarian descriptions: parsed by Qt, listed by helpText() (Qt's
// own help text would be English).
struct CommandOption {
    QStringList names;
    const char* description;
    const char* valueName = nullptr;

    QCommandLineOption option() const
    {
        return valueName ? QCommandLineOption(names, QString::fromUtf8(description),
                                              QString::fromUtf8(valueName))
                         : QCommandLineOption(names, QString::fromUtf8(description));
    }
    QString synopsis() const
    {
        QStringList forms;
        for (const QString& n : names)
            forms << (n.size() == 1 ? u"-"_s : u"--"_s) + n;
        QString text = forms.join(u", "_s);
        if (valueName)
            text += u" "_s + QString::fromUtf8(valueName);
        return text;
    }
};

const CommandOption commandOptions[] = {
    {{u"h"_s, u"help"_s}, "Ez a lista."},
    {{u"v"_s, u"version"_s}, "A program verziója."},
    {{u"create-database"_s},
     "Új adatbázist hoz létre a teljes szerkezettel a megadott helyen, majd kilép.",
     "ÚTVONAL"},
    {{u"demo"_s}, "A --create-database bemutató adatokkal tölti fel (300 ügyfél)."},
    {{u"demo-scale"_s},
     "A --create-database N ügyféllel, 5·N munkával és 60 szerelővel tölti fel.",
     "N"},
};

QString helpText()
{
    QString text = u"Használat: mivo [kapcsolók]\n\n"
                   u"Mivo Szerviz %1: gázkészülék-szerviz irodai programja. Kapcsolók nélkül "
                   u"elindul, és az indítás mappájának MIVO.INI fájljából olvassa a "
                   u"beállításait.\n\nKapcsolók:\n"_s.arg(programVersion());
    for (const CommandOption& o : commandOptions)
        text += u"  "_s + o.synopsis().leftJustified(30) + u" "_s +
                QString::fromUtf8(o.description) + u"\n"_s;
    return text;
}

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
        for (const CommandOption& o : commandOptions)
            args.addOption(o.option());
        if (!args.parse(arguments)) {
            const QStringList unknown = args.unknownOptionNames();
            QTextStream(stderr) << (unknown.isEmpty()
                                        ? u"Hiányzik a kapcsoló értéke."_s
                                        : u"Ismeretlen kapcsoló: "_s + unknown.join(u", "_s))
                                << Qt::endl
                                << helpText();
            return 2;
        }
        if (args.isSet(QStringLiteral("help"))) {
            QTextStream(stdout) << helpText();
            return 0;
        }
        if (args.isSet(QStringLiteral("version"))) {
            QTextStream(stdout) << "mivo " << programVersion() << Qt::endl;
            return 0;
        }
        if (args.isSet(QStringLiteral("create-database"))) {
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
