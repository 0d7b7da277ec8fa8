#pragma once

#include <QString>
#include <QStringList>

#include <memory>

namespace mivo::db
{
class Query;
}

namespace mivo::specialstock
{

/// The parts stock statement of the special functions screen: fifteen lines, the stock rows
/// and one "ÖSSZESEN" total row sorted after them. With a technician code lines 4 and 13
/// both become " AND K.HOL = :hol" (one bound value); without one they are empty.
QStringList stockStatement(bool withCode);

/// The stock of the technician (empty: of every holder) on d_mivo, read whole. Null with the
/// database's text in *error.
std::unique_ptr<db::Query> openStock(const QString& code, QString* error);

} // namespace mivo::specialstock
