#include "kvarcelhistory.h"

#include "kvarcelparams.h"

#include "core/clock.h"
#include "platform/codepage.h"

#include <QDir>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

const QString resultMark = u"/* . "_s;

// The run number at the start of a history line, -1 when it has none.
int runOf(const QString& line)
{
    if (line.size() < 7 || line[6] != QLatin1Char(' '))
        return -1;
    bool ok = false;
    const int n = line.left(6).toInt(&ok);
    return ok ? n : -1;
}

} // namespace

QString History::fileName(const QString& user, const QString& machine)
{
    QString name = u"KVARCI_"_s + user + u"_"_s + machine + u".TXT"_s;
    static const QRegularExpression separators(u"[:/\\\\]"_s);
    return name.replace(separators, u"_"_s);
}

QString History::number(int run)
{
    return QStringLiteral("%1").arg(run, 6, 10, QLatin1Char('0'));
}

bool History::start(const QString& folder, const QString& user, const QString& machine,
                    bool continueNumbers, QString* error)
{
    m_user = user;
    m_machine = machine;
    m_path = QDir(folder).filePath(fileName(user, machine));
    m_run = 0;
    if (continueNumbers && QFile::exists(m_path)) {
        for (int run : runs())
            m_run = std::max(m_run, run);
        return true;
    }
    if (!writeHeader(error)) {
        m_path.clear();
        return false;
    }
    return true;
}

bool History::writeHeader(QString* error)
{
    return writeTextFile(m_path,
                         {m_user + u" "_s + m_machine + u" "_s +
                          clock::now().toString(u"yyyy.MM.dd hh:mm:ss.zzz"_s)},
                         error);
}

bool History::beginRun(const QStringList& scriptLines, QString* error)
{
    if (!active())
        return false;
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = m_file.errorString();
        return false;
    }
    ++m_run;
    for (const QString& line : scriptLines)
        if (!line.startsWith(resultMark))
            write(number(m_run) + u" "_s + line);
    return true;
}

void History::result(const QString& text)
{
    if (m_file.isOpen())
        write(number(m_run) + u" "_s + resultMark + text.leftJustified(32) + u" "_s +
              clock::now().toString(u"hh:mm:ss.zzz"_s) + u" */"_s);
}

void History::endRun()
{
    if (m_file.isOpen())
        m_file.close();
}

void History::write(const QString& line)
{
    m_file.write(toWindows1250(line) + "\r\n");
}

QList<int> History::runs() const
{
    QList<int> found;
    QString text;
    if (!active() || !readTextFile(m_path, &text, nullptr))
        return found;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const int run = runOf(line);
        if (run >= 0 && (found.isEmpty() || found.back() != run))
            found << run;
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

QStringList History::runLines(int run) const
{
    QStringList lines;
    QString text;
    if (!active() || !readTextFile(m_path, &text, nullptr))
        return lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        if (runOf(line) == run && !line.mid(7).startsWith(resultMark))
            lines << line.mid(7);
    return lines;
}

bool History::clear(QString* error)
{
    if (!active())
        return false;
    return writeHeader(error);
}

} // namespace mivo::kvarcel
