#pragma once

#include <QString>

namespace mivo::exchange
{

/// Asks for the mail server's password in a dialog ("E-mail küldés"); false when cancelled.
bool askEmailPassword(const QString& user, const QString& server, QString* password);

} // namespace mivo::exchange
