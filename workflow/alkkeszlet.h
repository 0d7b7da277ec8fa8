#pragma once

#include "partsgrid.h"
#include "partshook.h"

#include <QDialog>

class QLabel;
class QRadioButton;
class QTableWidget;

namespace mivo::workflow
{

/// "Alkatrészek a szerelőnél": the parts of a request chosen against the technician's stock.
/// Created once; as the request form's parts hook it also keeps the rows of the last
/// "&Befejez", which the store reserves and records.
class Talk_keszletfm : public QDialog, public PartsHook
{
    Q_OBJECT
public:
    explicit Talk_keszletfm(QWidget* parent = nullptr);

    Result prepare(int jobCode, const QString& technician) override;
    std::optional<QString> choose(const PartsRequest& request) override;
    Result release(const QString& connectionName, int jobCode, const QString& technician) override;
    Result reserveAndRecord(const QString& connectionName, int jobCode, int tipus, int keszulek,
                            const QString& technician) override;
    void empty() override;

    /// The rows as the form shows them.
    const PartsGrid& grid() const { return m_grid; }
    QTableWidget* table() const { return m_table; }

private:
    void showRows();
    void chooseFor(int row);
    void plus();
    void minus();
    void finish();

    QLabel* m_technician;
    QLabel* m_appliance;
    QRadioButton* m_typeOnly;
    QRadioButton* m_all;
    QTableWidget* m_table;
    PartsGrid m_grid;
    std::vector<PartRow> m_committed; ///< the rows of the last "&Befejez" or prepare
    PartsRequest m_request;
    QString m_finished;
    bool m_choosing = false;
    bool m_showing = false;
};

} // namespace mivo::workflow
