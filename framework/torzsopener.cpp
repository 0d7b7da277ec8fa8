#include "torzsopener.h"

#include "core/altproc.h"

namespace mivo
{

namespace
{

TorzsOpener* registeredOpener = nullptr;
TextFileEditor* registeredTextEditor = nullptr;

} // namespace

void setTorzsOpener(TorzsOpener* opener)
{
    registeredOpener = opener;
}

bool OpenTorzs(TorzsCall& call)
{
    return registeredOpener && registeredOpener->OpenTorzs(call);
}

void markTorzsForRereading(const QString& editorName)
{
    if (registeredOpener)
        registeredOpener->markForRereading(editorName);
}

void setTextFileEditor(TextFileEditor* editor)
{
    registeredTextEditor = editor;
}

std::optional<TorzsCall> pickRow(const QString& table, const QString& condition,
                                 const QString& searchText)
{
    TorzsCall call;
    call.tableSpec = table;
    call.condition = condition;
    call.searchText = searchText;
    call.selectionMode = true;
    if (!OpenTorzs(call))
        return std::nullopt;
    return call;
}

QString pickedField(const TorzsCall& call, const QString& field)
{
    return alt::pickedValue(field, call.names, call.values).trimmed();
}

bool editTextFile(const QString& fileName)
{
    if (!registeredTextEditor)
        return false;
    registeredTextEditor->editFile(fileName);
    return true;
}

} // namespace mivo
