#include "kvarcelparams.h"

#include "platform/codepage.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace mivo::kvarcel
{

namespace
{

const QStringList optionNames = {u"cb_nullas"_s, u"cb_kilepettek"_s, u"cb_csak_osszesen"_s,
                                 u"cb_BERIDO"_s, u"cb_OUTER"_s,      u"cb_LAPDOB"_s};

bool* optionField(ListOptions& o, int i)
{
    bool* fields[] = {&o.nullas, &o.kilepettek, &o.csakOsszesen, &o.berido, &o.inner, &o.lapdob};
    return fields[i];
}

QString comment(const QString& body)
{
    return u"/* "_s + body + u" */"_s;
}

// The text of a comment line without its marks and the blank on either side.
QString commentBody(const QString& line)
{
    QString body = line.trimmed().mid(2);
    if (body.endsWith(u"*/"_s))
        body.chop(2);
    if (body.startsWith(QLatin1Char(' ')))
        body.remove(0, 1);
    if (body.endsWith(QLatin1Char(' ')))
        body.chop(1);
    return body;
}

} // namespace

bool readTextFile(const QString& path, QString* text, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(bytes);
    if (utf8.hasError())
        decoded = fromWindows1250(bytes);
    decoded.replace(u"\r\n"_s, u"\n"_s);
    *text = decoded;
    return true;
}

bool writeTextFile(const QString& path, const QStringList& lines, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += toWindows1250(line) + "\r\n";
    file.write(bytes);
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QStringList breakLongLine(const QString& line, int limit)
{
    QStringList pieces;
    QString rest = line;
    while (rest.size() > limit) {
        qsizetype comma = -1, blank = -1;
        bool quoted = false;
        for (qsizetype i = 0; i < limit; ++i) {
            const QChar c = rest[i];
            if (c == QLatin1Char('\''))
                quoted = !quoted;
            else if (!quoted && c == QLatin1Char(','))
                comma = i;
            else if (!quoted && c == QLatin1Char(' ') && i > 0)
                blank = i;
        }
        const qsizetype at = comma >= 0 ? comma : blank;
        if (at < 0)
            break;
        pieces << rest.left(at + 1);
        rest = rest.mid(at + 1);
    }
    pieces << rest;
    return pieces;
}

QStringList joinCommentLines(const QStringList& lines)
{
    QStringList out;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.trimmed().startsWith(u"/*"_s)) {
            while (!line.contains(u"*/"_s) && i + 1 < lines.size())
                line += lines[++i];
        }
        out << line;
    }
    return out;
}

bool isParameterComment(const QString& line)
{
    static const QStringList keys = {u"ver="_s,     u"cim="_s,     u"cb_"_s,
                                     u"KELL="_s,    u"ORDERBY="_s, u"GROUP="_s,
                                     u"FELTEVE="_s, u"HOTOL="_s,   u"HOIG="_s};
    const QString t = line.trimmed();
    if (!t.startsWith(u"/*"_s))
        return false;
    const QString body = commentBody(t);
    for (const QString& k : keys)
        if (body.startsWith(k, Qt::CaseInsensitive))
            return true;
    return false;
}

QStringList parameterComments(const Catalogue& catalogue, const ListOptions& options,
                              const QString& title,
                              const std::function<QString(const ListItem&)>& typeOf)
{
    QStringList lines;
    lines << comment(u"ver=5.0"_s);
    if (!title.isEmpty())
        lines << comment(u"cim="_s + title);
    ListOptions o = options;
    for (int i = 0; i < optionNames.size(); ++i)
        lines << comment(optionNames[i] + u"="_s + (*optionField(o, i) ? u"true"_s : u"false"_s));
    const auto ordered = [&](Mark mark) {
        std::vector<const ListItem*> items;
        for (const ListItem& item : catalogue.items())
            if (!Catalogue::markOf(item, mark).isEmpty())
                items.push_back(&item);
        std::stable_sort(items.begin(), items.end(), [mark](const ListItem* a, const ListItem* b) {
            return Catalogue::markOf(*a, mark) < Catalogue::markOf(*b, mark);
        });
        return items;
    };
    for (const ListItem* item : ordered(Mark::Kell))
        lines << comment(u"KELL="_s + item->kell + u","_s + item->alias);
    for (const ListItem* item : ordered(Mark::Rendez))
        lines << comment(u"ORDERBY="_s + item->rendez + u","_s + item->alias);
    for (const ListItem* item : ordered(Mark::Csoport))
        lines << comment(u"GROUP="_s + item->csoport + u","_s +
                         (typeOf ? typeOf(*item) : item->tipus).leftJustified(4, u' ', true) +
                         u","_s + item->alias);
    for (const ListItem& item : catalogue.items())
        if (!item.feltetel.isEmpty())
            lines << comment(u"FELTEVE="_s + item.alias.leftJustified(20) + u","_s + item.feltetel);
    return lines;
}

QStringList parameterFile(const QStringList& comments, const QStringList& script)
{
    QStringList lines;
    for (const QString& line : comments)
        lines << breakLongLine(line);
    for (const QString& line : joinCommentLines(script))
        if (!isParameterComment(line))
            lines << breakLongLine(line);
    return lines;
}

LoadedParameters
loadParameters(const QString& text, Catalogue& catalogue, ListOptions& options,
               const std::function<QString(const QString&, const QString&)>& translate)
{
    LoadedParameters loaded;
    catalogue.clearChoices();
    options.inner = false;
    const QStringList lines = joinCommentLines(text.split(QLatin1Char('\n')));
    // The version decides the translation of aliases: read it first.
    for (const QString& line : lines)
        if (line.trimmed().startsWith(u"/*"_s)) {
            const QString body = commentBody(line);
            if (body.startsWith(u"ver="_s, Qt::CaseInsensitive))
                loaded.version = body.mid(4).trimmed();
        }
    const auto itemOf = [&](const QString& saved) -> ListItem* {
        QString alias = saved.trimmed();
        if (translate) {
            const QString current = translate(alias, loaded.version);
            if (!current.isEmpty())
                alias = current;
        }
        ListItem* item = catalogue.item(alias);
        if (!item)
            loaded.unknownAliases << alias;
        return item;
    };
    QString hotol, hoig;
    bool period = false;
    for (const QString& line : lines) {
        if (!line.trimmed().startsWith(u"/*"_s))
            continue;
        const QString body = commentBody(line);
        const qsizetype eq = body.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = body.left(eq).trimmed().toLower();
        const QString value = body.mid(eq + 1);
        bool optionFound = false;
        for (int i = 0; i < optionNames.size(); ++i)
            if (key == optionNames[i].toLower()) {
                *optionField(options, i) =
                    value.trimmed().compare(u"true"_s, Qt::CaseInsensitive) == 0;
                optionFound = true;
            }
        if (optionFound)
            continue;
        if (key == u"cim"_s) {
            loaded.title = value.trimmed();
        } else if (key == u"kell"_s || key == u"orderby"_s) {
            const QString mark = value.section(QLatin1Char(','), 0, 0).trimmed();
            if (ListItem* item = itemOf(value.section(QLatin1Char(','), 1))) {
                if (key == u"kell"_s) {
                    item->kell = mark;
                    ++loaded.listedItems;
                } else {
                    item->rendez = mark;
                }
            }
        } else if (key == u"group"_s) {
            if (ListItem* item = itemOf(value.section(QLatin1Char(','), 2)))
                item->csoport = value.section(QLatin1Char(','), 0, 0).trimmed();
        } else if (key == u"felteve"_s) {
            const qsizetype comma = value.indexOf(QLatin1Char(','));
            if (comma >= 0)
                if (ListItem* item = itemOf(value.left(comma)))
                    item->feltetel = value.mid(comma + 1);
        } else if (key == u"hotol"_s) {
            hotol = value.trimmed();
            period = true;
        } else if (key == u"hoig"_s) {
            hoig = value.trimmed();
            period = true;
        }
    }
    const bool old = loaded.version.isEmpty() || loaded.version < u"5.0"_s;
    if (old) {
        if (period)
            if (ListItem* month = catalogue.item(u"BKH_HONAP"_s)) {
                const QString from = hotol == u"01"_s ? u"%eveleje%"_s : hotol;
                month->feltetel = hotol == hoig ? u" = '%aktzartho%'"_s
                                                : u" between '"_s + from + u"' and '%aktzartho%'"_s;
            }
        if (ListItem* date = catalogue.item(u"SZEMDATUM"_s); date && date->feltetel.isEmpty())
            date->feltetel = u" = '%ma%'"_s;
    }
    return loaded;
}

} // namespace mivo::kvarcel
