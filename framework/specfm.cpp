#include "specfm.h"

#include "editorhooks.h"
#include "specstock.h"
#include "torzsopener.h"

#include "core/altproc.h"
#include "core/dat.h"
#include "core/messages.h"
#include "platform/dbquery.h"
#include "platform/rowsource.h"
#include "platform/sqltext.h"
#include "reports/qexport.h"
#include "reports/qrszotar.h"
#include "reports/reportprint.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo
{

namespace
{

enum Output { Printer, Screen, File };
const QString stockTitle = u"Alkatrész készlet"_s;

} // namespace

Tspecfm::Tspecfm(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"Tspecfm"_s);
    setWindowTitle(u"Speciális funkciók"_s);
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    auto* tabs = new QTabWidget(this);
    layout->addWidget(tabs);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, stockTitle);
    auto* pageLayout = new QVBoxLayout(page);
    auto* codeRow = new QHBoxLayout;
    pageLayout->addLayout(codeRow);
    codeRow->addWidget(new QLabel(u" Szerelőkód : "_s, page));
    m_code = new QLineEdit(page);
    m_code->setObjectName(u"e_szerelo"_s);
    m_code->setMaxLength(6);
    m_code->setMinimumWidth(fontMetrics().horizontalAdvance(u'M') * 8);
    codeRow->addWidget(m_code);
    auto* pick = new QPushButton(u"?"_s, page);
    pick->setObjectName(u"b_szerelo"_s);
    codeRow->addWidget(pick);
    m_name = new QLabel(page);
    m_name->setObjectName(u"l_szerelonev"_s);
    codeRow->addWidget(m_name, 1);
    connect(pick, &QPushButton::clicked, this, &Tspecfm::chooseTechnician);

    auto* buttons = new QHBoxLayout;
    pageLayout->addLayout(buttons);
    pageLayout->addStretch();
    const auto add = [&](const QString& name, const QString& text, auto run) {
        auto* b = new QPushButton(text, page);
        b->setObjectName(name);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, run);
    };
    add(u"b_nyomtatora"_s, u"&Nyomtatóra"_s, [this] { output(Printer); });
    add(u"b_kepernyore"_s, u"&Képernyőre"_s, [this] { output(Screen); });
    add(u"b_tablaba"_s, u"&Táblába"_s, [this] { output(File); });
    buttons->addStretch();
    add(u"b_vissza"_s, u"&Vissza"_s, [this] { close(); });

    const int em = fontMetrics().horizontalAdvance(u'M');
    resize(em * 45, em * 14);
    hooks::setSpecialFunctions([this] {
        // Reached from a modal editor it takes input only as the newest modal window.
        if (!isVisible())
            setWindowModality(QApplication::activeModalWidget() ? Qt::ApplicationModal
                                                                : Qt::NonModal);
        show();
        raise();
        activateWindow();
    });
}

Tspecfm::~Tspecfm()
{
    hooks::setSpecialFunctions({});
}

void Tspecfm::chooseTechnician()
{
    TorzsCall call;
    call.tableSpec = u"SZERELO"_s;
    call.condition = u"WHERE SZERELO.CEGKOD="_s + db::literal(Td::instance().ownCompany);
    call.searchText = m_code->text();
    call.editingAllowed = false;
    call.selectionMode = true;
    if (!OpenTorzs(call))
        return;
    m_code->setText(alt::pickedValue(u"KOD"_s, call.names, call.values));
    m_name->setText(alt::pickedValue(u"NEV"_s, call.names, call.values));
}

bool Tspecfm::withStock(const std::function<void(data::RowSource&)>& use, QString* error)
{
    if (m_code->text().trimmed().isEmpty())
        m_name->clear();
    auto query = specialstock::openStock(m_code->text(), error);
    if (!query)
        return false;
    data::QueryRows rows(*query, stockTitle);
    use(rows);
    return true;
}

void Tspecfm::output(int kind)
{
    if (kind == File) {
        toFile();
        return;
    }
    QString error;
    const bool opened = withStock(
        [this, kind](data::RowSource& rows) {
            Tqr_szotar& szotar = Tqr_szotar::instance();
            szotar.setDataSet(&rows);
            szotar.setTitle(stockTitle);
            const auto build = [&szotar](QString* failure) { return szotar.build(failure); };
            if (kind == Screen)
                report::preview(build, this);
            else
                report::printDirect(build);
            szotar.setDataSet(nullptr);
        },
        &error);
    if (!opened)
        messages::showError(error);
}

bool Tspecfm::writePdf(const QString& path, QString* error)
{
    bool ok = false;
    const bool opened = withStock(
        [&](data::RowSource& rows) {
            Tqr_szotar& szotar = Tqr_szotar::instance();
            szotar.setDataSet(&rows);
            szotar.setTitle(stockTitle);
            ok = szotar.writePdf(path, error);
            szotar.setDataSet(nullptr);
        },
        error);
    return opened && ok;
}

QString Tspecfm::toFile(const QString& fileName)
{
    QString written, error;
    if (!withStock(
            [&](data::RowSource& rows) {
                written =
                    reports::TQexportfm::instance().exportRows(rows, fileName, u"ALK_KESZLET"_s);
            },
            &error))
        messages::showError(error);
    return written;
}

} // namespace mivo
