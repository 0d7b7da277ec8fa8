#include "completionchecks.h"

#include "core/altproc.h"
#include "core/messages.h"

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

QString nextLetter(const QString& field, const QString& caption)
{
    return alt::nextInCycle(field.trimmed(), caption);
}

bool letterAccepted(const QString& text, const QString& caption)
{
    return text.isEmpty() || (caption + u' ').contains(text);
}

namespace
{

std::optional<Refusal> notANumber(const QString& text, const QString& focus)
{
    return Refusal{u"Nem jó szám:"_s + text, focus};
}

std::optional<Refusal> badDate(const QString& text, const QString& focus)
{
    return Refusal{u"Hibás dátum.\n"_s + text.trimmed(), focus};
}

} // namespace

std::optional<Refusal> checkCompletionFields(const Completion& c, const Activities& activities)
{
    if (!activities.byName(c.tevekenyseg))
        return Refusal{u"Válassza ki a munka jellegét!"_s, u"cb_tevekenys"_s};
    // The date of the work becomes MUNKAD, which the period lists compare as text.
    if (!alt::validateDate(c.munkad.trimmed(), false))
        return badDate(c.munkad, u"e_nap"_s);
    for (const SheetField& f : sheetFields()) {
        const QString text = c.sheet.count(f.column) ? c.sheet.at(f.column) : QString();
        switch (f.input) {
        case SheetInput::Date:
            if (!text.trimmed().isEmpty() && !alt::isBlankDate(text) &&
                !alt::validateDate(text.trimmed(), false))
                return badDate(text, f.edit);
            break;
        case SheetInput::Letter:
            if (!letterAccepted(text, f.letters))
                return Refusal{u"Csak ezek a betűk elfogadhatók: "_s + f.letters, f.edit};
            break;
        case SheetInput::Number: {
            bool ok = true;
            if (!text.trimmed().isEmpty())
                alt::parseDecimal(text, &ok);
            if (!ok)
                return notANumber(text, f.edit);
            break;
        }
        case SheetInput::Text:
            break;
        }
    }
    if (!c.partsShown)
        return std::nullopt;
    for (const PartRow& row : c.parts) {
        if (!row.code.trimmed().isEmpty() && !row.quantity.trimmed().isEmpty() &&
            !alt::isNumber(row.quantity, true))
            return notANumber(row.quantity, u"sg_alkatresz"_s);
    }
    if (!c.gjsorszam.trimmed().isEmpty() && !alt::isNumber(c.gjsorszam, true))
        return notANumber(c.gjsorszam, u"e_gjsorszam"_s);
    return std::nullopt;
}

bool completionAllowed(const Completion& c, const Activities& activities, QString* focus,
                       const QString& connectionName)
{
    focus->clear();
    const Activity* activity = activities.byName(c.tevekenyseg);
    if (!activity)
        return false;
    const int s = activity->sorrend;
    const ApplianceRepository appliances(connectionName);
    QString error;

    // A commissioning writes a new sheet; a correction updates the one it has.
    if (s == 1 && (c.mode == CompletionMode::Document || !c.hasSheet())) {
        if (c.hasSheet()) {
            messages::show(u"Már be van üzemelve, a "_s + c.sheetNumber() + u" sz. lapon."_s);
            return false;
        }
        const QString number =
            c.sheet.count(u"SORSZAM"_s) ? c.sheet.at(u"SORSZAM"_s).trimmed() : QString();
        if (number.isEmpty()) {
            messages::show(u"Adja meg a beüzemelési lap sorszámot!"_s);
            *focus = u"e_sorszam"_s;
            return false;
        }
        const std::optional<bool> exists = appliances.sheetExists(number, &error);
        if (!exists) {
            messages::showError(error);
            return false;
        }
        if (*exists) {
            messages::show(u"Van már ilyen beüzemelési lap sorszám."_s);
            *focus = u"e_sorszam"_s;
            return false;
        }
    }
    if (s > 1 && !c.hasSheet())
        messages::show(u"Nincs beüzemelve a készülék!"_s);

    if (c.gyariszam != c.sheetSerial) {
        if (!c.sheetSerial.isEmpty() && !messages::confirm(u"Megváltoztatja a gyári számot?"_s))
            return false;
        // An emptied serial number is no one else's.
        if (!c.gyariszam.trimmed().isEmpty()) {
            const auto owner = appliances.serialOwner(c.gyariszam, c.keszulek, &error);
            if (!owner) {
                messages::showError(error);
                return false;
            }
            if (*owner) {
                const SerialOwner& o = **owner;
                const QString question = u"Van már ilyen gyári szám.\nKészülék: "_s + o.aruKod +
                                         u'\n' + o.aruNev + u"\nÜgyfél: "_s + o.ugyfelNev + u'\n' +
                                         o.ugyfelIrszam + u' ' + o.ugyfelVaros + u", "_s +
                                         o.ugyfelUtca + u"\nBiztos, hogy tároljuk?"_s;
                if (!messages::confirm(question)) {
                    *focus = u"e_gyariszam"_s;
                    return false;
                }
            }
        }
    }
    if (c.customer.kod != c.job.ugyfel &&
        !messages::confirm(u"A készüléknek más tulajdonosa lesz?"_s))
        return false;
    return messages::confirm(u"Tárolható?"_s);
}

} // namespace mivo::workflow
