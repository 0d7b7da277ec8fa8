#pragma once

#include <QAbstractListModel>
#include <QString>
#include <QStringList>

#include <vector>

namespace mivo::exchange
{

struct LetterConditions;

/// One appliance of a customer in the letters list, with what a letter row takes from it.
struct LetterLine {
    int ugyfel = 0;
    QString nev;
    QString irszam;
    QString varos;
    QString utca;
    QString email;
    QString keszulek; ///< the type's name
    QString csoport1; ///< the type's article group
    QString beuzemeles;
    QString text; ///< what the list shows
    bool ticked = true;
};

/// The letters' selection: one checkable line per appliance in use of a customer not marked
/// deleted. The "stored" mark tells whether the ticks are in LEVELKE already; changing a
/// tick clears it.
class LetterList : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit LetterList(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Lists the appliances of the customers meeting the master list's condition (none:
    /// every customer) and the article groups of the conditions, all ticked, ordered by
    /// name; each line also shows the values of the further customer fields. False with the
    /// database's text, the list emptied.
    bool select(const QString& condition, const QStringList& extraFields,
                const LetterConditions& conditions, QString* error,
                const QString& connectionName = QStringLiteral("d_mivo"));
    /// Ticks each line by the customer test of the conditions and clears the stored mark.
    /// False with the database's text (ticks unchanged).
    bool applyConditions(const LetterConditions& conditions, QString* error,
                         const QString& connectionName = QStringLiteral("d_mivo"));

    const std::vector<LetterLine>& lines() const { return m_lines; }
    int tickedCount() const;
    void setTicked(int row, bool ticked);
    void setAllTicked(bool ticked);
    void clear();

    bool stored() const { return m_stored; }
    void setStored(bool stored) { m_stored = stored; }

signals:
    /// The number of ticked lines changed.
    void tickedCountChanged(int count);

private:
    std::vector<LetterLine> m_lines;
    bool m_stored = false;
};

} // namespace mivo::exchange
