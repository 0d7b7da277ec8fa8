#include "torzsopener.h"

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

bool editTextFile(const QString& fileName)
{
    if (!registeredTextEditor)
        return false;
    registeredTextEditor->editFile(fileName);
    return true;
}

} // namespace mivo
