#include "ftpkuld.h"

#include "core/ini.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo::exchange
{

Tftpkuldfm::Tftpkuldfm(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"Tftpkuldfm"_s);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    const auto field = [this, form](const QString& name, const QString& caption) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(name);
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        form->addRow(label, edit);
        return edit;
    };
    m_server = field(u"e_ftpserver"_s, u"FTP szerver"_s);
    m_user = field(u"e_ftpuser"_s, u"FTP felhasználó"_s);
    m_password = field(u"e_ftppassword"_s, u"FTP jelszó"_s);
    m_password->setEchoMode(QLineEdit::Password);
    m_folder = field(u"e_ftpfolder"_s, u"FTP mappa"_s);
    m_database = field(u"e_gdb"_s, u"Adatbázis"_s);
    layout->addLayout(form);

    m_status = new QLabel(u"-"_s, this);
    m_status->setObjectName(u"l_status"_s);
    layout->addWidget(m_status);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(u"pb_folyamat"_s);
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    layout->addWidget(m_progress);

    auto* buttons = new QHBoxLayout;
    m_start = new QPushButton(u"&Indul"_s, this);
    m_start->setObjectName(u"b_indul"_s);
    m_back = new QPushButton(u"&Vissza"_s, this);
    m_back->setObjectName(u"b_vissza"_s);
    m_start->setAutoDefault(false);
    m_back->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addWidget(m_back);
    layout->addLayout(buttons);
    connect(m_start, &QPushButton::clicked, this, &Tftpkuldfm::start);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);

    m_transfer.onStatus = [this](const QString& text) {
        m_status->setText(text);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    m_transfer.onProgress = [this](qint64 done, qint64 total) {
        m_progress->setValue(total > 0 ? int(done * 1000 / total) : 0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    resize(440, 260);
}

void Tftpkuldfm::prepare(const QString& mode)
{
    m_mode = mode;
    const Ini& ini = Ini::instance();
    m_server->setText(ini.value(u"FTP_SERVER"_s));
    m_user->setText(ini.value(u"FTP_USER"_s));
    m_password->setText(ini.value(u"FTP_PASSWORD"_s));
    m_folder->setText(ini.value(u"FTP_DIR"_s));
    m_database->setText(ini.value(u"DBSERVER"_s));
    m_status->setText(u"-"_s);
    m_progress->setValue(0);
    m_start->setEnabled(true);
    m_back->setEnabled(true);
}

void Tftpkuldfm::start()
{
    if (m_running || !m_start->isEnabled())
        return;
    m_running = true;
    m_start->setEnabled(false);
    m_back->setEnabled(false);
    const TransferMode mode = m_mode == sendMode      ? TransferMode::Send
                              : m_mode == startupMode ? TransferMode::StartupDownload
                                                      : TransferMode::Receive;
    const TransferSettings settings{m_server->text().trimmed(), m_user->text().trimmed(),
                                    m_password->text(), m_folder->text().trimmed(),
                                    m_database->text().trimmed()};
    const DatabaseTransfer::Outcome outcome = m_transfer.run(mode, settings);
    m_running = false;
    m_back->setEnabled(true);
    if (outcome == DatabaseTransfer::Outcome::NoConnection)
        reject();
}

void Tftpkuldfm::closeEvent(QCloseEvent* event)
{
    // The window stays while the file travels: the transfer ends by itself or by its limits.
    if (m_running)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void Tftpkuldfm::keyPressEvent(QKeyEvent* event)
{
    if (m_running && event->key() == Qt::Key_Escape)
        return;
    QDialog::keyPressEvent(event);
}

} // namespace mivo::exchange
