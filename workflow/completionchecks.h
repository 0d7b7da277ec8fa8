#pragma once

#include "completion.h"
#include "requestchecks.h"

#include <QString>

#include <optional>

namespace mivo::workflow
{

/// The fields that "&OK (Tárolás)" checks again before asking anything, because a click
/// does not leave a field: a performed activity ("Válassza ki a munka jellegét!"), the
/// dates ("Hibás dátum."), the letter fields ("Csak ezek a betűk elfogadhatók: " + the
/// letters) and every number ("Nem jó szám:" + the text; quantities and the coupon number
/// whole). The refusal names the control to focus.
std::optional<Refusal> checkCompletionFields(const Completion& completion,
                                             const Activities& activities);

/// The checks of "&OK (Tárolás)" in their order, after checkCompletionFields: the
/// commissioning sheet of a commissioning, the appliance not yet commissioned (told, not
/// refused), a changed or duplicate serial number, a new owner, and "Tárolható?". Notices
/// and questions go through messages; No to a question stops. True when the store may go
/// on; otherwise *focus names the control to focus (empty for none). A failed read is
/// shown as the database's text and stops.
bool completionAllowed(const Completion& completion, const Activities& activities, QString* focus,
                       const QString& connectionName = QStringLiteral("d_mivo"));

/// The letter that a press of a letter button puts into its field: the one after the
/// field's letter in the caption, from the first again ("I/N": I, /, N, I).
QString nextLetter(const QString& field, const QString& caption);
/// Whether a letter field may hold the text: empty, or a letter of its caption.
bool letterAccepted(const QString& text, const QString& caption);

} // namespace mivo::workflow
