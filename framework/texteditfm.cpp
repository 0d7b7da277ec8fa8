#include "texteditfm.h"

#include "qrtextnez.h"

#include "core/messages.h"
#include "platform/filedialog.h"
#include "reports/reportpainter.h"
#include "reports/reportprint.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace mivo
{

TTextEditfm::TTextEditfm(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"TTextEditfm"_s);
    setWindowTitle(u"Szöveges fájl szerkesztése"_s);
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* menuBar = new QMenuBar(this);
    layout->setMenuBar(menuBar);
    QMenu* fileMenu = menuBar->addMenu(u"File"_s);

    m_name = new QLabel(this);
    m_name->setObjectName(u"l_fajlnev"_s);
    layout->addWidget(m_name);
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(u"m_szoveg"_s);
    layout->addWidget(m_text, 1);

    auto* buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    const auto add = [&](const QString& name, const QString& text, auto run) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        connect(b, &QPushButton::clicked, this, run);
        return b;
    };
    add(u"b_mentes"_s, u"Mentés"_s, [this] { save(); });
    add(u"b_mentesmaskent"_s, u"Mentés másként"_s, [this] { saveAs(); });
    add(u"b_ujratoltes"_s, u"Újratöltés"_s, [this] { reload(); });
    QPushButton* printButton = add(u"b_nyomtatas"_s, u"Nyomtatás"_s, [] {});
    auto* printMenu = new QMenu(printButton);
    printMenu->addAction(u"Képernyőre"_s, this, [this] { print(true); });
    printMenu->addAction(u"Nyomtatóra"_s, this, [this] { print(false); });
    printButton->setMenu(printMenu);
    buttons->addStretch();
    add(u"b_vissza"_s, u"Vissza"_s, [this] { back(); });

    fileMenu->addAction(u"Mentés"_s, this, [this] { save(); });
    fileMenu->addAction(u"Mentés másként"_s, this, [this] { saveAs(); });
    fileMenu->addAction(u"Újratöltés"_s, this, [this] { reload(); });
    fileMenu->addSeparator();
    fileMenu->addAction(u"Vissza"_s, this, [this] { back(); });

    const int em = fontMetrics().horizontalAdvance(u'M');
    resize(em * 60, em * 40);
    setTextFileEditor(this);
}

TTextEditfm::~TTextEditfm()
{
    setTextFileEditor(nullptr);
}

void TTextEditfm::editFile(const QString& fileName)
{
    m_fileName = fileName;
    m_name->setText(fileName);
    reload();
    exec();
}

void TTextEditfm::reload()
{
    QString error;
    if (!m_file.read(m_fileName, &error))
        messages::showError(error);
    m_text->setPlainText(m_file.text);
    m_text->document()->setModified(false);
}

bool TTextEditfm::write(const QString& path)
{
    TextFile out = m_file;
    out.text = m_text->toPlainText();
    QString error;
    if (!out.write(path, &error)) {
        messages::showError(error);
        return false;
    }
    m_file = out;
    m_text->document()->setModified(false);
    return true;
}

bool TTextEditfm::save()
{
    if (!write(m_fileName))
        return false;
    messages::show(u"A szöveget mentettük"_s, MessageKind::Dialog);
    return true;
}

bool TTextEditfm::saveAs(const QString& name)
{
    QString chosen = name;
    if (chosen.isEmpty()) {
        files::FileRequest request;
        request.objectName = u"d_mentes"_s;
        request.folder = QFileInfo(m_fileName).path();
        request.fileName = QFileInfo(m_fileName).fileName();
        request.filters = {u"Szöveg file (*.TXT *.txt)"_s};
        request.defaultSuffix = u"TXT"_s;
        request.save = true;
        const auto picked = files::chooseFile(this, request);
        if (!picked)
            return false;
        chosen = picked->path;
    }
    if (!write(chosen))
        return false;
    m_fileName = chosen;
    m_name->setText(chosen);
    messages::show(u"A szöveget mentettük "_s + chosen + u" néven"_s, MessageKind::Dialog);
    return true;
}

bool TTextEditfm::back()
{
    if (m_text->document()->isModified()) {
        const int answer = messages::ask(
            u"Menti a változtatásokat?"_s, MessageKind::Question,
            {u"Mentés és kilépés"_s, u"Kilépés mentés nélkül"_s, u"Szerkesztés folytatása"_s});
        if (answer == 2 || answer < 0)
            return false;
        if (answer == 0 && !save())
            return false;
    }
    m_closing = true;
    QDialog::reject();
    m_closing = false;
    return true;
}

void TTextEditfm::reject()
{
    // Escape and the window's close button act as "Vissza": edits are never dropped silently.
    if (!m_closing)
        back();
}

void TTextEditfm::closeEvent(QCloseEvent* event)
{
    if (m_closing) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    back();
}

void TTextEditfm::print(bool preview)
{
    const QStringList lines = m_text->toPlainText().split(u'\n');
    const auto build = [lines](QString*) { return TqrTextNez(lines); };
    if (preview)
        report::preview(build, this);
    else
        report::printDirect(build);
}

bool TTextEditfm::writePdf(const QString& path, QString* error)
{
    auto r = TqrTextNez(m_text->toPlainText().split(u'\n'));
    return report::writePdf(*r, path, error);
}

} // namespace mivo
