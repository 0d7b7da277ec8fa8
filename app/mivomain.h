#pragma once

#include "core/screenregistry.h"
#include "core/startup.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QLabel;
class QMenu;

namespace mivo
{

class TorzsEditors;
class TPasswordfm;

/// The main window: runs the start-up sequence at its first showing and offers the main
/// menu from which every function is reached. Closing it ends the program.
class Tmivomainfm : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tmivomainfm(QWidget* parent = nullptr);
    ~Tmivomainfm() override;

    /// Runs the start-up sequence and applies its decisions to the menu. False when the
    /// program must end (the window then closes itself).
    bool runStartup();

    /// The start-up sequence, so that its screens (download, login) can be plugged in.
    Startup& startup() { return m_startup; }

    /// The menu item by its component name ("hibafelvetel", "vege").
    QAction* action(const QString& component) const;
    QMenu* menu(const QString& objectName) const;

    /// Whether the start-up sequence has completed; menu actions wait for it.
    bool started() const { return m_started; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildMenu();
    void applyFeatures();
    /// Hands the current user to the framework's rights checks and change log.
    void feedFramework();

    Startup m_startup;
    ScreenRegistry m_screens;
    bool m_startupQueued = false;
    bool m_startupRan = false;
    bool m_started = false;
    QLabel* m_version = nullptr;
    std::unique_ptr<TorzsEditors> m_torzs;
    TPasswordfm* m_password = nullptr;
};

} // namespace mivo
