#pragma once

#include "core/screen.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace mivo::exchange
{

/// "Adatok átadása SD szerviz programnak": shows how many commissioning sheets, warranty
/// coupons and maintenance visits a batch holds and writes them as the SD program's tables,
/// either as a new batch of the jobs not handed over yet or again from an earlier batch
/// number.
class Tadatatadfm : public Screen
{
    Q_OBJECT
public:
    explicit Tadatatadfm(QWidget* parent = nullptr);

    /// Refreshes the three counts for the chosen batch; false (after telling the user) when
    /// the repeat number is invalid or the database fails. Quiet: an invalid number only
    /// zeroes the counts (switching to repeat mode before a number is typed).
    bool recount(bool quiet = false);
    /// Picks the batch to repeat from the export log ("?").
    void choose();
    /// Writes the batch ("&Indul").
    void start();

protected:
    void initialise() override;

private:
    /// The batch whose rows are counted: 0 for a new batch, else the repeat number; -1
    /// when the typed number is invalid (told to the user unless quiet).
    int batchNumber(bool quiet);

    QLineEdit* m_sheets;
    QLineEdit* m_coupons;
    QLineEdit* m_maintenance;
    QCheckBox* m_new;
    QLineEdit* m_repeat;
    QPushButton* m_choose;
    QPushButton* m_count;
    QProgressBar* m_gauges[3]; ///< sheets, coupons, maintenance
    QLabel* m_files[3];        ///< full names of the written tables
    QPushButton* m_start = nullptr;
    QString m_date;         ///< "yyyy_mm_dd" of the export-log row chosen with "?"
    bool m_counted = false; ///< the counts belong to a valid selection
    bool m_counting = false;
};

} // namespace mivo::exchange
