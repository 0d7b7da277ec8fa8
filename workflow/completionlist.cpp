#include "completionlist.h"

#include "core/altproc.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

CompletionFilter clearedFilter(CompletionMode mode, const QString& today)
{
    CompletionFilter f;
    if (mode == CompletionMode::Document) {
        f.tervdTol = today.left(8) + u"01"_s;
        f.tervdIg = today;
    } else {
        f.munkadIg = today;
    }
    return f;
}

namespace
{

std::optional<Refusal> dateRefusal(const QString& text, const QString& focus)
{
    if (text.trimmed().isEmpty() || alt::validateDate(text, false))
        return std::nullopt;
    return Refusal{u"Hibás dátum.\n"_s + text.trimmed(), focus};
}

QString normalised(const QString& date)
{
    return alt::formatDate(alt::parseDate(date.trimmed()));
}

std::optional<Refusal> rangeRefusal(const QString& from, const QString& to, const QString& toFocus)
{
    if (from.trimmed().isEmpty() || to.trimmed().isEmpty())
        return std::nullopt;
    if (normalised(to) < normalised(from))
        return Refusal{u"Rossz intervallum."_s, toFocus};
    return std::nullopt;
}

} // namespace

std::optional<Refusal> checkFilter(const CompletionFilter& f)
{
    const std::pair<QString, QString> dates[] = {{f.munkadTol, u"e_munkadtol"_s},
                                                 {f.munkadIg, u"e_munkadig"_s},
                                                 {f.tervdTol, u"e_tervdtol"_s},
                                                 {f.tervdIg, u"e_tervdig"_s}};
    for (const auto& [text, focus] : dates) {
        if (std::optional<Refusal> r = dateRefusal(text, focus))
            return r;
    }
    if (std::optional<Refusal> r = rangeRefusal(f.munkadTol, f.munkadIg, u"e_munkadig"_s))
        return r;
    return rangeRefusal(f.tervdTol, f.tervdIg, u"e_tervdig"_s);
}

const QStringList& completionListFields()
{
    static const QStringList fields = {
        u"MUNKA.JUZER"_s,          u"MUNKA.LEMONDTA"_s,      u"MUNKA.FELVETELD"_s,
        u"MUNKA.TERVD"_s,          u"MUNKA.SZERELOT"_s,      u"MUNKA.TERVTEV"_s,
        u"TEVEKENYS.NEV TEVNEV"_s, u"ARU.NEV KESZULEKNEV"_s, u"MUNKA.LEIRAST"_s,
        u"UGYFEL.NEV UGYFELNEV"_s, u"UGYFEL.IRSZAM"_s,       u"UGYFEL.VAROS"_s,
        u"UGYFEL.UTCA"_s,          u"UGYFEL.TELEFON"_s,      u"MUNKA.SZAMLASZAM"_s,
        u"MUNKA.MUNKASZAM"_s,      u"MUNKA.MUNKATEV"_s,      u"MUNKA.LEIRASM"_s,
        u"MUNKA.SZERELOM"_s,       u"UGYFEL.FAX"_s,          u"UGYFEL.EMAIL"_s,
        u"UGYFEL.KOMMENT"_s,       u"UGYFEL.KOMMENT2"_s,     u"MUNKA.UGYFEL"_s,
        u"MUNKA.KESZULEK"_s,       u"MUNKA.KOD"_s,           u"MUNKA.TIPUS"_s,
        u"ARU.KOD KESZULEKKOD"_s,
    };
    return fields;
}

SqlStatement completionListStatement(CompletionMode mode, const CompletionFilter& f,
                                     int orderPosition)
{
    SqlStatement s;
    QStringList lines;
    lines << u"SELECT "_s + completionListFields().join(u", "_s);
    // Outer joins: a job whose activity or appliance type has no dictionary row is listed too.
    lines << u"FROM MUNKA JOIN UGYFEL ON UGYFEL.KOD = MUNKA.UGYFEL"_s
          << u"LEFT JOIN TEVEKENYS ON TEVEKENYS.KOD = MUNKA.TERVTEV"_s
          << u"LEFT JOIN ARU ON ARU.BELSOKOD = MUNKA.TIPUS"_s;
    lines << u"WHERE MUNKA.ALLAPOT = :allapot"_s;
    s.params[u"allapot"_s] = stateCode(listedState(mode));

    const auto add = [&](const QString& value, const QString& condition, const QString& name,
                         const QVariant& bound) {
        if (value.trimmed().isEmpty())
            return;
        lines << u"AND "_s + condition + u" :"_s + name;
        s.params[name] = bound;
    };
    const auto date = [](const QString& d) { return normalised(d); };
    add(f.munkadTol, u"MUNKA.MUNKAD >="_s, u"munkadtol"_s, date(f.munkadTol));
    add(f.munkadIg, u"MUNKA.MUNKAD <="_s, u"munkadig"_s, date(f.munkadIg));
    add(f.tervdTol, u"MUNKA.TERVD >="_s, u"tervdtol"_s, date(f.tervdTol));
    add(f.tervdIg, u"MUNKA.TERVD <="_s, u"tervdig"_s, date(f.tervdIg));
    if (f.ugyfel != 0) {
        lines << u"AND MUNKA.UGYFEL = :ugyfel"_s;
        s.params[u"ugyfel"_s] = f.ugyfel;
    } else {
        add(f.ugyfelNev, u"UGYFEL.NEV LIKE"_s, u"ugyfelnev"_s,
            u"%"_s + f.ugyfelNev.trimmed() + u"%"_s);
        add(f.varos, u"UGYFEL.VAROS ="_s, u"varos"_s, f.varos.trimmed());
    }
    add(f.szerelo, mode == CompletionMode::Correct ? u"MUNKA.SZERELOM ="_s : u"MUNKA.SZERELOT ="_s,
        u"szerelo"_s, f.szerelo.trimmed());
    if (f.tipus != 0) {
        lines << u"AND MUNKA.TIPUS = :tipus"_s;
        s.params[u"tipus"_s] = f.tipus;
    }
    add(f.munkaszam, u"MUNKA.MUNKASZAM ="_s, u"munkaszam"_s, f.munkaszam.trimmed());
    add(f.szamlaszam, u"MUNKA.SZAMLASZAM ="_s, u"szamlaszam"_s, f.szamlaszam.trimmed());

    const int fields = int(completionListFields().size());
    lines << (orderPosition >= 1 && orderPosition <= fields
                  ? u"ORDER BY "_s + QString::number(orderPosition)
                  : u"ORDER BY UGYFEL.VAROS, UGYFEL.UTCA"_s);
    s.sql = lines.join(u'\n');
    return s;
}

} // namespace mivo::workflow
