#pragma once

#include "core/menuscreen.h"
#include "dbtransfer.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace mivo::exchange
{

/// The FTP screen: sends the whole database to the FTP storage or receives it from there,
/// modally, in one of three modes ("K" send, "F" receive, "I" the start-up download). Each
/// opening fills the fields from the configuration; after a run only "&Vissza" is available.
class Tftpkuldfm : public QDialog, public MenuScreen
{
    Q_OBJECT
public:
    static inline const QString sendMode = QStringLiteral("K");
    static inline const QString receiveMode = QStringLiteral("F");
    static inline const QString startupMode = QStringLiteral("I");

    explicit Tftpkuldfm(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    void prepare(const QString& mode) override;

    /// Runs the transfer of the mode ("&Indul").
    void start();
    /// The transfer core, for its limits.
    DatabaseTransfer& transfer() { return m_transfer; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_mode;
    bool m_running = false;
    DatabaseTransfer m_transfer;
    QLineEdit* m_server;
    QLineEdit* m_user;
    QLineEdit* m_password;
    QLineEdit* m_folder;
    QLineEdit* m_database;
    QLabel* m_status;
    QProgressBar* m_progress;
    QPushButton* m_start;
    QPushButton* m_back;
};

} // namespace mivo::exchange
