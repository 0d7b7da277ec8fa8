#include "requestfields.h"

#include "core/altproc.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace mivo::workflow
{

namespace
{

enum class Kind { Edit, ReadOnly, Button, Check, Combo };

struct Field {
    const char* name;
    Kind kind;
    int maxLength = 0;
};

// One line of the request area: its caption, then the controls from left to right
// ("?" and "Új" buttons as "b_" names, check boxes as "cb_" names).
struct Line {
    const char* caption;
    std::initializer_list<Field> fields;
};

const Line requestLines[] = {
    {" Ügyfél neve:",
     {{"e_ugyfelnev", Kind::Edit, 60}, {"b_ugyfel", Kind::Button}, {"b_ujugyfel", Kind::Button}}},
    {" Ügyfél címe:",
     {{"e_irszam", Kind::Edit, 4},
      {"b_irszam", Kind::Button},
      {"e_varos", Kind::Edit, 40},
      {"e_utca", Kind::Edit, 40}}},
    {" Telefon:", {{"e_tel", Kind::Edit, 40}, {"cb_tel", Kind::Check}}},
    {" Fax:", {{"e_fax", Kind::Edit, 20}}},
    {" E-mail:", {{"e_mail", Kind::Edit, 30}}},
    {" Megjegyzés:", {{"e_komment", Kind::Edit, 100}}},
    {" Megjegyzés 2:", {{"e_komment2", Kind::Edit, 100}}},
    {" Készülék:",
     {{"b_keszulek", Kind::Button},
      {"e_keszulek", Kind::ReadOnly, 30},
      {"e_keszuleknev", Kind::ReadOnly, 60},
      {"e_gyariszam", Kind::ReadOnly, 30},
      {"cb_ujkeszulek", Kind::Check}}},
    {" Munka jellege:",
     {{"cb_tevekenys", Kind::Combo}, {"cb_le", Kind::Check}, {"cb_kesz", Kind::Check}}},
    {" Problémaleírás:", {{"e_problema", Kind::Edit, 240}}},
    {" Kiszállás napja:",
     {{"b_nap", Kind::Button},
      {"e_nap", Kind::Edit, 10},
      {"e_ora", Kind::ReadOnly, 2},
      {"cb_dedu", Kind::Combo}}},
    {" Szerelő kód, név", {{"e_szerelo", Kind::ReadOnly, 60}}},
    {" Külsős szerelő:",
     {{"b_kulsos", Kind::Button},
      {"e_kszkod", Kind::ReadOnly, 6},
      {"e_kszceg", Kind::ReadOnly, 10},
      {"e_ksznev", Kind::ReadOnly, 40}}},
    {" Alkatrész(ek):", {{"b_alk", Kind::Button}, {"e_alk", Kind::Edit, 240}}},
    {" Munka leírása:", {{"e_leirasm", Kind::ReadOnly, 240}}},
};

struct Caption {
    const char* name;
    const char* text;
    const char* hint;
};

const Caption captions[] = {
    {"b_ugyfel", "?", "Ügyfél kiválasztása"},
    {"b_ujugyfel", "Új", ""},
    {"b_irszam", "?", "Település kiválasztása"},
    {"b_keszulek", "?", "Készülék kiválasztása"},
    {"b_nap", "Nap", ""},
    {"b_kulsos", "?", "Külsős szerelő kiválasztása"},
    {"b_alk", "?", "Alkatrész kiválasztása"},
    {"cb_tel", "Kér munkavégzés előtt telefont", ""},
    {"cb_ujkeszulek", " Új készülék", ""},
    {"cb_le", " Lemondta:", ""},
    {"cb_kesz", " Kész:", ""},
};

QWidget* createControl(const Field& f, QWidget* parent)
{
    const QString name = QString::fromLatin1(f.name);
    QWidget* w = nullptr;
    switch (f.kind) {
    case Kind::Button:
        w = new QPushButton(parent);
        break;
    case Kind::Check:
        w = new QCheckBox(parent);
        break;
    case Kind::Combo: {
        auto* box = new QComboBox(parent);
        if (name == QLatin1String("cb_dedu"))
            box->addItems({QStringLiteral("De"), QStringLiteral("Du"), QStringLiteral("Es")});
        w = box;
        break;
    }
    case Kind::Edit:
    case Kind::ReadOnly: {
        auto* edit = new QLineEdit(parent);
        edit->setMaxLength(f.maxLength);
        edit->setReadOnly(f.kind == Kind::ReadOnly);
        w = edit;
        break;
    }
    }
    w->setObjectName(name);
    for (const Caption& c : captions) {
        if (name == QLatin1String(c.name)) {
            w->setProperty("text", QString::fromUtf8(c.text));
            w->setToolTip(QString::fromUtf8(c.hint));
        }
    }
    return w;
}

} // namespace

RequestFields::RequestFields(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("p_adatok"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setVerticalSpacing(1);
    int row = 0;
    for (const Line& line : requestLines) {
        auto* label = new QLabel(QString::fromUtf8(line.caption), this);
        label->setObjectName(
            QStringLiteral("l_") +
            QString::fromLatin1(line.fields.begin()->name).section(QLatin1Char('_'), 1));
        grid->addWidget(label, row, 0);
        auto* controls = new QHBoxLayout;
        for (const Field& f : line.fields)
            controls->addWidget(createControl(f, this), f.maxLength > 40 ? 3 : 1);
        grid->addLayout(controls, row, 1);
        ++row;
    }
    auto* code = new QLabel(this);
    code->setObjectName(QStringLiteral("l_munkakod"));
    grid->addWidget(code, row, 1);
    reset();
    setEditing(false);
}

void RequestFields::reset()
{
    for (QLineEdit* e : findChildren<QLineEdit*>())
        e->clear();
    for (QCheckBox* c : findChildren<QCheckBox*>())
        c->setChecked(false);
    for (QComboBox* c : findChildren<QComboBox*>())
        c->setCurrentIndex(-1);
    findChild<QLabel*>(QStringLiteral("l_munkakod"))->clear();
    findChild<QLineEdit*>(QStringLiteral("e_nap"))->setText(alt::today());
}

void RequestFields::setEditing(bool editing)
{
    for (QWidget* w : findChildren<QWidget*>())
        w->setEnabled(editing);
}

void RequestFields::setWorkDescriptionVisible(bool visible)
{
    findChild<QWidget*>(QStringLiteral("l_leirasm"))->setVisible(visible);
    findChild<QWidget*>(QStringLiteral("e_leirasm"))->setVisible(visible);
}

} // namespace mivo::workflow
