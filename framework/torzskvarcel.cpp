#include "torzskvarcel.h"

namespace mivo
{

namespace
{

TorzskvarcelOpener* registeredOpener = nullptr;

} // namespace

void setTorzskvarcelOpener(TorzskvarcelOpener* opener)
{
    registeredOpener = opener;
}

bool OpenTorzskvarcel(QWidget* parent, const QString& table, QString* condition, QString* fields,
                      QString* order)
{
    return registeredOpener && registeredOpener->openList(parent, table, condition, fields, order);
}

} // namespace mivo
