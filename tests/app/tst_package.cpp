#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace
{

const QString binaryDir = qEnvironmentVariable("MIVO_TEST_BINARY_DIR");

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run run(const QString& program, const QStringList& arguments, const QString& folder = {})
{
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(540000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

// What an office installs: the program's command line and the Debian package.
class TestPackage : public QObject
{
    Q_OBJECT

private slots:
    void versionAndHungarianHelp()
    {
        const QString mivo = binaryDir + u"/mivo"_s;
        const Run version = run(mivo, {u"--version"_s});
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, u"mivo " MIVO_VERSION "\n"_s);

        const Run help = run(mivo, {u"--help"_s});
        QCOMPARE(help.code, 0);
        for (const QString& line :
             {u"Használat: mivo [kapcsolók]"_s, u"-h, --help"_s, u"-v, --version"_s,
              u"--create-database ÚTVONAL"_s, u"--demo-scale N"_s, u"MIVO.INI"_s})
            QVERIFY2(help.out.contains(line), qPrintable(line));

        const Run wrong = run(mivo, {u"--nincs-ilyen"_s});
        QCOMPARE(wrong.code, 2);
        QVERIFY(wrong.err.startsWith(u"Ismeretlen kapcsoló: nincs-ilyen\n"_s));
    }

    void packageHoldsTheProgramItsMenuEntryAndDependencies()
    {
        QTemporaryDir dir;
        const Run packed = run(
            u"cpack"_s, {u"--config"_s, binaryDir + u"/CPackConfig.cmake"_s, u"-B"_s, dir.path()},
            dir.path());
        QVERIFY2(packed.code == 0, qPrintable(packed.out + packed.err));
        const QString deb = dir.filePath(u"mivo_" MIVO_VERSION "_amd64.deb"_s);
        QVERIFY(QFile::exists(deb));

        const QString contents = run(u"dpkg-deb"_s, {u"-c"_s, deb}).out;
        for (const QString& path :
             {u"./usr/bin/mivo"_s, u"./usr/share/applications/hu.mivo.Mivo.desktop"_s,
              u"./usr/share/metainfo/hu.mivo.Mivo.metainfo.xml"_s,
              u"./usr/share/icons/hicolor/scalable/apps/mivo.svg"_s,
              u"./usr/share/icons/hicolor/48x48/apps/mivo.png"_s,
              u"./usr/share/icons/hicolor/256x256/apps/mivo.png"_s,
              u"./usr/share/doc/mivo/README.md"_s, u"./usr/share/doc/mivo/kezikonyv.md"_s})
            QVERIFY2(contents.contains(path + u'\n'), qPrintable(path));
        // Nothing of the build tree: no tests, benchmarks, libraries or headers.
        for (const QString& foreign : {u"tst_"_s, u"bench"_s, u".a\n"_s, u".h\n"_s, u"/build"_s})
            QVERIFY2(!contents.contains(foreign), qPrintable(foreign));

        const QString depends = run(u"dpkg-deb"_s, {u"-f"_s, deb, u"Depends"_s}).out;
        for (const QString& package :
             {u"libqt6widgets6"_s, u"libqt6sql6 "_s, u"libqt6sql6-ibase"_s,
              u"libqt6printsupport6"_s, u"libqt6pdfwidgets6"_s, u"qt6-qpa-plugins"_s,
              u"libfbclient2"_s, u"firebird3.0-server-core"_s, u"libxlsxwriter"_s, u"pxlib1"_s,
              u"libfreexl1"_s, u"libcurl4"_s, u"libzip4"_s})
            QVERIFY2(depends.contains(package), qPrintable(package + u" in "_s + depends));

        const QString root = dir.filePath(u"root"_s);
        QCOMPARE(run(u"dpkg-deb"_s, {u"-x"_s, deb, root}).code, 0);
        const Run desktop = run(u"desktop-file-validate"_s,
                                {root + u"/usr/share/applications/hu.mivo.Mivo.desktop"_s});
        QVERIFY2(desktop.code == 0 && desktop.out.isEmpty(), qPrintable(desktop.out));
        const Run metainfo =
            run(u"appstreamcli"_s, {u"validate"_s, u"--no-net"_s,
                                    root + u"/usr/share/metainfo/hu.mivo.Mivo.metainfo.xml"_s});
        QVERIFY2(metainfo.code == 0, qPrintable(metainfo.out + metainfo.err));
        QVERIFY(QFileInfo(root + u"/usr/bin/mivo"_s).isExecutable());
    }
};

QTEST_MAIN(TestPackage)
#include "tst_package.moc"
