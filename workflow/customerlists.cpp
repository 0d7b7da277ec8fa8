#include "customerlists.h"

#include "core/messages.h"
#include "core/rowlist.h"
#include "platform/querymodel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

namespace
{

QTableView* listView(const QString& name, data::QueryModel* model, QWidget* parent)
{
    auto* view = new QTableView(parent);
    setUpRowList(view, name, model);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

} // namespace

CustomerLists::CustomerLists(QWidget* parent)
    : QWidget(parent),
      m_applianceRows(new data::QueryModel(
          u"d_mivo"_s, {{u"NEV"_s, u"Készülék"_s}, {u"GYARISZAM"_s, u"Gyáriszám"_s}}, this)),
      m_letterRows(new data::QueryModel(u"d_mivo"_s,
                                        {{u"MIKOR"_s, u"Mikor"_s},
                                         {u"VALASZ"_s, u"Válasz"_s},
                                         {u"NEV"_s, u"Név"_s},
                                         {u"IRSZAM"_s, u"Irsz."_s},
                                         {u"VAROS"_s, u"Helység"_s},
                                         {u"UTCA"_s, u"Cím"_s}},
                                        this)),
      m_historyRows(new data::QueryModel(u"d_mivo"_s,
                                         {{u"JUZER"_s, u"Felv."_s},
                                          {u"ALLAPOT"_s, u"Áll."_s},
                                          {u"FELVETELD"_s, u"Bejelentve"_s},
                                          {u"TERVD"_s, u"Terv jav.nap"_s},
                                          {u"TERVT"_s, u"óra"_s},
                                          {u"TERVTEV"_s, u"Terv.tev."_s},
                                          {u"SZERELOT"_s, u"Terv.szerelő"_s},
                                          {u"MUNKAD"_s, u"Munkavégzés nap"_s},
                                          {u"MUNKAT"_s, u"óra"_s},
                                          {u"SZERELOM"_s, u"Szerelő"_s},
                                          {u"MUNKATEV"_s, u"Munka"_s},
                                          {u"MUNKASZAM"_s, u"Munkaszám"_s},
                                          {u"LEIRAST"_s, u"Terv leírás"_s},
                                          {u"LEIRASM"_s, u"Munka leírás"_s}},
                                         this)),
      m_appliances(listView(u"grid_keszulek"_s, m_applianceRows, this)),
      m_letters(listView(u"DBGrid_level"_s, m_letterRows, this)),
      m_history(listView(u"grid_munka"_s, m_historyRows, this)), m_letterPanel(new QWidget(this)),
      m_letterDate(new QLabel(m_letterPanel)),
      m_allLetters(new QPushButton(u"Mind be"_s, m_letterPanel)),
      m_valaszolt(new QCheckBox(u"Válaszolt"_s, m_letterPanel))
{
    m_letterPanel->setObjectName(u"p_level"_s);
    m_letterDate->setObjectName(u"l_evel"_s);
    m_allLetters->setObjectName(u"b_illeg"_s);
    m_valaszolt->setObjectName(u"cb_valasz"_s);
    auto* letterLine = new QHBoxLayout(m_letterPanel);
    letterLine->setContentsMargins(0, 0, 0, 0);
    letterLine->addWidget(new QLabel(u" Levél: "_s, m_letterPanel));
    letterLine->addWidget(m_letterDate);
    letterLine->addWidget(m_allLetters);
    letterLine->addWidget(m_valaszolt);
    letterLine->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_appliances, 2);
    layout->addWidget(m_letterPanel);
    layout->addWidget(m_letters, 2);
    layout->addWidget(m_history, 3);
    m_letters->hide();

    connect(m_allLetters, &QPushButton::clicked, this, [this] {
        const bool show = m_letters->isHidden();
        m_letters->setVisible(show);
        m_allLetters->setText(show ? u"Mind ki"_s : u"Mind be"_s);
    });
    connect(m_appliances->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit applianceSelected(appliance(current.row()));
            });
    connect(m_appliances, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { emit applianceSelected(appliance(index.row())); });
}

void CustomerLists::read(data::QueryModel* model, const QString& sql, const QString& name,
                         const QVariant& value)
{
    QString error;
    if (!model->read(sql, {{name, value}}, &error))
        messages::showError(error);
}

void CustomerLists::showAppliances(int ugyfel, int keszulek)
{
    QString sql = u"SELECT KESZULEK.GYARISZAM, KESZULEK.KOD, KESZULEK.TIPUS, ARU.NEV, "
                  "ARU.KOD ARUKOD FROM KESZULEK JOIN ARU ON ARU.BELSOKOD = KESZULEK.TIPUS "
                  "WHERE KESZULEK.UGYFEL = :ugyfel"_s;
    QString error;
    std::map<QString, QVariant> params{{u"ugyfel"_s, ugyfel}};
    if (keszulek != 0) {
        sql += u" AND KESZULEK.KOD = :keszulek"_s;
        params[u"keszulek"_s] = keszulek;
    }
    if (!m_applianceRows->read(sql + u" ORDER BY KESZULEK.KOD"_s, params, &error))
        messages::showError(error);
    if (applianceCount() > 0)
        selectAppliance(0);
    else
        showHistory(0);
}

int CustomerLists::applianceCount() const
{
    return m_applianceRows->rowCount();
}

int CustomerLists::findType(const QString& aruKod) const
{
    for (int row = 0; row < applianceCount(); ++row) {
        if (m_applianceRows->text(row, u"ARUKOD"_s) == aruKod)
            return row;
    }
    return -1;
}

void CustomerLists::selectAppliance(int row)
{
    const QModelIndex index = m_applianceRows->index(row, 0);
    if (m_appliances->currentIndex() == index)
        emit applianceSelected(appliance(row));
    else
        m_appliances->setCurrentIndex(index);
}

ListedAppliance CustomerLists::appliance(int row) const
{
    ListedAppliance a;
    a.kod = m_applianceRows->value(row, u"KOD"_s).toInt();
    a.tipus = m_applianceRows->value(row, u"TIPUS"_s).toInt();
    a.gyariszam = m_applianceRows->text(row, u"GYARISZAM"_s);
    a.nev = m_applianceRows->text(row, u"NEV"_s);
    a.aruKod = m_applianceRows->text(row, u"ARUKOD"_s);
    return a;
}

QString CustomerLists::showLetters(int ugyfel)
{
    read(m_letterRows, u"Select * From LEVELKE Where UGYFEL = :ugyfel Order By MIKOR Desc"_s,
         u"ugyfel"_s, ugyfel);
    const QString newest = m_letterRows->text(0, u"MIKOR"_s);
    m_answered = !m_letterRows->text(0, u"VALASZ"_s).isEmpty();
    m_letterDate->setText(newest);
    m_valaszolt->setChecked(m_answered);
    return newest;
}

bool CustomerLists::valaszolt() const
{
    return m_valaszolt->isChecked();
}

void CustomerLists::setLettersVisible(bool visible)
{
    m_letterPanel->setVisible(visible);
    if (!visible)
        m_letters->hide();
}

void CustomerLists::showHistory(int keszulek)
{
    if (keszulek == 0) {
        m_historyRows->clear();
        return;
    }
    read(m_historyRows, u"SELECT * FROM MUNKA WHERE KESZULEK = :keszulek ORDER BY FELVETELD"_s,
         u"keszulek"_s, keszulek);
}

void CustomerLists::setHistoryVisible(bool visible)
{
    m_history->setVisible(visible);
}

void CustomerLists::clear()
{
    m_applianceRows->clear();
    m_letterRows->clear();
    m_historyRows->clear();
    m_letterDate->clear();
    m_valaszolt->setChecked(false);
    m_answered = false;
}

void CustomerLists::setEditing(bool editing)
{
    m_valaszolt->setEnabled(editing);
}

} // namespace mivo::workflow
