#pragma once

#include <QString>
#include <QVariant>

#include <vector>

class QSqlField;
class QSqlRecord;

namespace mivo::data
{

/// What a result column holds, as far as lists, exports and reports care.
enum class FieldKind {
    Text, ///< CHAR, VARCHAR
    Memo, ///< text blob
    Blob, ///< binary blob
    Boolean,
    SmallInt,
    Integer,
    LargeInt, ///< BIGINT
    Float,    ///< FLOAT, DOUBLE PRECISION
    Decimal,  ///< NUMERIC, DECIMAL with a scale
    Date,
    Time,
    DateTime,
    Unknown
};

/// One column of a result: name, caption and how wide it is shown.
struct Column {
    QString name;
    QString label; ///< display label; the name unless a caller sets one
    FieldKind kind = FieldKind::Text;
    int length = 0;       ///< characters of a text column, digits of a decimal
    int scale = 0;        ///< decimals of a decimal
    int displayWidth = 0; ///< characters a list gives the column
};

/// The display width of a column kind in characters: text columns their declared length,
/// numbers and dates the characters their usual form needs. The one definition that the
/// editor, the lists, the exports and the reports share.
int displayWidth(FieldKind kind, int length = 0, int scale = 0);

/// Text, memo and blob columns: shown left-aligned, padded.
bool isTextual(FieldKind kind);
/// Columns a file of values writes as numbers.
bool isNumeric(FieldKind kind);
bool isInteger(FieldKind kind);

/// The type name the editor's picked row carries ("VARCHAR", "SMALLINT", "INTEGER",
/// "BOOLEAN", "FLOAT", "MEMO" or "Unknown").
QString typeName(FieldKind kind);
/// Characters an input of the kind accepts: the display width for text, 10 for integers,
/// 15 for floats, -1 (no limit) for memos, 8 for anything else.
int editLength(FieldKind kind, int displayWidth);

/// The column that a field of a Firebird result describes (lengths come in UTF-8 bytes).
Column columnOf(const QSqlField& field);
std::vector<Column> columnsOf(const QSqlRecord& record);

/// The kind of an editor type name ("VARCHAR", "SMALLINT", ...); Unknown for others.
FieldKind kindOfTypeName(const QString& typeName);

/// A value as the editor's grid and panel, the printed lists and the text exports show it:
/// "" for null, dates "yyyy.mm.dd", times "hh:mm:ss", floats to fifteen significant digits
/// without exponent and with the given decimal point (0.1 + 0.2 is "0.3"), booleans "T"/"F",
/// memos as their text. The one display form: change detection and the change log use it too.
QString displayText(const QVariant& value, FieldKind kind, QChar decimalPoint = QLatin1Char('.'));

/// A double to fifteen significant digits in the shortest form without exponent; "-0" is "0".
QString tidyNumber(double value, QChar decimalPoint = QLatin1Char('.'));

/// Rounds half away from zero to the number of decimals, in floating point: values too large
/// to carry that many decimals come back unchanged.
double roundDecimals(double value, int decimals);

/// The shortest text of a double that reads back to the same value, with "." (files that
/// must read back exactly, such as SQL scripts).
QString shortestNumber(double value);

} // namespace mivo::data
