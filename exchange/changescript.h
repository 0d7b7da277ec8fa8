#pragma once

#include <QString>
#include <QVariant>

#include <map>

namespace mivo::exchange
{

/// One line of the change script that other sites replay (without its line end):
/// "/*" + site + "_" + sequence + "*/ UPDATE OR INSERT INTO " + table + " (" + columns + ")"
/// + " Values (" + values + ");"
///
/// The columns are the statement's parameters in their order and spelling, without those
/// named "OLD_..." (an update's old key values), followed by the values that the statement
/// does not name (the key an insert received from its generator). Values: NULL, numbers with
/// ".", strings in single quotes with quotes doubled and CR/LF written as ASCII_CHAR(13) and
/// ASCII_CHAR(10) so that the statement stays on one line, dates and times as quoted ISO
/// texts, booleans TRUE/FALSE, binary values as X'..'. The sequence number is padded to seven
/// digits; longer ones are written in full. Parameter values are keyed by lower-case name.
QString changeStatement(const QString& site, qint64 sequence, const QString& table,
                        const QString& statement, const std::map<QString, QVariant>& parameters);

/// A value as an SQL literal of the change script.
QString sqlLiteral(const QVariant& value);

} // namespace mivo::exchange
