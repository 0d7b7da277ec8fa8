#include "sqlstatement.h"

#include <QStringList>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

QString codeList(const QStringList& codes, std::map<QString, QVariant>* params)
{
    QStringList names;
    for (qsizetype i = 0; i < codes.size(); ++i) {
        const QString name = u"k"_s + QString::number(i);
        names << u':' + name;
        (*params)[name] = codes[i];
    }
    return u'(' + names.join(u", "_s) + u')';
}

} // namespace mivo::workflow
