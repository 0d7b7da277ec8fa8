#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace mivo
{
class ScreenRegistry;
}

namespace mivo::exchange
{

class Tftpkuldfm;

/// Registers the FTP items: "Adatok küldése (FTP-re)" and "Adatok fogadása (FTP-ről)" open
/// the FTP screen modally after checking FTP_SERVER and FTP_USER ("FTP kapcsolat nincs
/// megadva" without them), "Program frissítése az internetről" runs the program update after
/// asking. The Excel import, the SD exchange and the letters open their screens. The e-mail
/// routine asks a missing mail server password in a dialog from then on. afterTransfer runs
/// when the FTP screen has closed (the menu follows the feature switches of the database now
/// open).
void registerExchangeScreens(ScreenRegistry& registry, std::function<void()> afterTransfer = {});

/// The FTP screen of the run, created as a child of the owner on first use.
Tftpkuldfm* ftpScreen(QWidget* owner);

/// The start-up's download offer answered Yes: the FTP screen in start-up download mode,
/// captioned "Adatok fogadása (FTP-ről)". Start-up goes on afterwards whatever happened.
bool downloadAtStartup(QWidget* owner);

} // namespace mivo::exchange
