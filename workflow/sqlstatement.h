#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <map>

namespace mivo::workflow
{

/// An SQL text with the values of its named parameters (":name"), exactly as the program
/// runs it. Benchmarks time the same statement bare through the driver.
struct SqlStatement {
    QString sql;
    std::map<QString, QVariant> params;
};

/// "(:k0, :k1, ...)" for the codes, with each code put into *params under its name.
QString codeList(const QStringList& codes, std::map<QString, QVariant>* params);

} // namespace mivo::workflow
