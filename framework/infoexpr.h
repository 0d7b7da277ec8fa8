#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

#include <functional>

namespace mivo
{

/// An information expression of a field row (PLUSFIELD1..3):
/// "TABLE.select list,INFOCOL=RECORDCOL" or "TABLE.expr@NAME,A+B=X+Y". The select list
/// may name its result column after an "@"; key pairs join columns with "+" on both sides.
struct InfoExpression {
    bool valid = false; ///< false for a text without ".", "," or "="
    QString table;
    QString selectList; ///< with every "@" turned into a blank
    QString resultColumn;
    QList<QPair<QString, QString>> pairs; ///< (information column, record column)

    static InfoExpression parse(const QString& text);

    /// The statement for key values bound as :k0, :k1, ... in pair order.
    QStringList statement() const;
};

/// The distinct non-empty values of a result, in order of first appearance, joined by ", ".
QString joinDistinct(const QStringList& values);

/// Runs the expression for a record (the value of a record column by name) and gives the
/// text to show. False with the database's text in *error when the statement fails.
bool infoText(const InfoExpression& expression,
              const std::function<QVariant(const QString&)>& recordValue, QString* text,
              QString* error);

} // namespace mivo
