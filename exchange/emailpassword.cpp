#include "emailpassword.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

bool askEmailPassword(const QString& user, const QString& server, QString* password)
{
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(u"d_smtpjelszo"_s);
    dialog.setWindowTitle(u"E-mail küldés"_s);
    dialog.setLabelText(u"A levelező szerver jelszava (%1, %2):"_s.arg(user, server));
    dialog.setTextEchoMode(QLineEdit::Password);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *password = dialog.textValue();
    return true;
}

} // namespace mivo::exchange
