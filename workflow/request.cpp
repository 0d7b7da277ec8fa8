#include "request.h"

#include <array>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

struct ModeName {
    RequestMode mode;
    const char16_t* letter;
};

constexpr std::array modeNames = {
    ModeName{RequestMode::New, u"U"},     ModeName{RequestMode::Unplaced, u"M"},
    ModeName{RequestMode::Revisit, u"Z"}, ModeName{RequestMode::Ongoing, u"F"},
    ModeName{RequestMode::Move, u"Á"},    ModeName{RequestMode::Modify, u"Ó"},
};

} // namespace

QString modeLetter(RequestMode mode)
{
    for (const ModeName& m : modeNames) {
        if (m.mode == mode)
            return QString::fromUtf16(m.letter);
    }
    return {};
}

std::optional<RequestMode> modeOfLetter(const QString& letter)
{
    for (const ModeName& m : modeNames) {
        if (letter == QString::fromUtf16(m.letter))
            return m.mode;
    }
    return std::nullopt;
}

QString pendingAddress(const Customer& customer)
{
    if (customer.irszam.startsWith(u'1'))
        return customer.irszam + u" BP. "_s + customer.utca;
    return customer.varos + u',' + customer.utca;
}

QStringList partCodeList(const QString& field)
{
    QStringList codes;
    for (const QString& part : field.split(u',')) {
        if (!part.trimmed().isEmpty())
            codes << part.trimmed();
    }
    return codes;
}

QString withPartCode(const QString& field, const QString& code)
{
    if (partCodeList(field).contains(code.trimmed()))
        return field;
    QString result = field.trimmed();
    if (!result.isEmpty() && !result.endsWith(u','))
        result += u',';
    return result + code.trimmed() + u',';
}

QString externalHour(const QString& dedu)
{
    if (dedu == u"De"_s)
        return u"08"_s;
    if (dedu == u"Du"_s)
        return u"13"_s;
    return u"18"_s;
}

} // namespace mivo::workflow
