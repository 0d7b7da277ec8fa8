#include "requestfields.h"

#include "core/altproc.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace mivo::workflow
{

using namespace Qt::StringLiterals;

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

// Buttons and check boxes keep their natural width; a field grows with what it holds.
int stretchOf(const Field& f)
{
    switch (f.kind) {
    case Kind::Button:
    case Kind::Check:
        return 0;
    case Kind::Combo:
        return 4;
    case Kind::Edit:
    case Kind::ReadOnly:
        break;
    }
    return std::clamp(f.maxLength / 4, 1, 12);
}

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
    if (auto* b = qobject_cast<QPushButton*>(w))
        b->setFixedWidth(std::max(32, b->fontMetrics().horizontalAdvance(b->text()) + 20));
    return w;
}

} // namespace

RequestFields::RequestFields(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"p_adatok"_s);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setVerticalSpacing(1);
    int row = 0;
    for (const Line& line : requestLines) {
        auto* label = new QLabel(QString::fromUtf8(line.caption), this);
        label->setObjectName(u"l_"_s +
                             QString::fromLatin1(line.fields.begin()->name).section(u'_', 1));
        grid->addWidget(label, row, 0);
        auto* controls = new QHBoxLayout;
        for (const Field& f : line.fields) {
            QWidget* control = createControl(f, this);
            // Enter on a button presses it; on a field it moves on.
            if (auto* b = qobject_cast<QPushButton*>(control); !b)
                control->installEventFilter(this);
            if (auto* b = qobject_cast<QPushButton*>(control)) {
                const QString name = b->objectName();
                connect(b, &QPushButton::clicked, this, [this, name] { emit buttonPressed(name); });
            }
            controls->addWidget(control, stretchOf(f));
        }
        grid->addLayout(controls, row, 1);
        ++row;
    }
    auto* code = new QLabel(this);
    code->setObjectName(u"l_munkakod"_s);
    grid->addWidget(code, row, 1);
    connect(edit(u"e_irszam"_s), &QLineEdit::editingFinished, this, &RequestFields::postalCodeLeft);
    connect(edit(u"e_nap"_s), &QLineEdit::editingFinished, this, &RequestFields::requestDateLeft);
    reset();
    setEditing(false);
}

QLineEdit* RequestFields::edit(const QString& name) const
{
    return findChild<QLineEdit*>(name);
}

QPushButton* RequestFields::button(const QString& name) const
{
    return findChild<QPushButton*>(name);
}

QCheckBox* RequestFields::checkBox(const QString& name) const
{
    return findChild<QCheckBox*>(name);
}

QComboBox* RequestFields::comboBox(const QString& name) const
{
    return findChild<QComboBox*>(name);
}

void RequestFields::reset()
{
    for (QLineEdit* e : findChildren<QLineEdit*>())
        e->clear();
    for (QCheckBox* c : findChildren<QCheckBox*>())
        c->setChecked(false);
    for (QComboBox* c : findChildren<QComboBox*>())
        c->setCurrentIndex(-1);
    findChild<QLabel*>(u"l_munkakod"_s)->clear();
    edit(u"e_nap"_s)->setText(alt::today());
}

void RequestFields::setEditing(bool editing)
{
    for (QWidget* w : findChildren<QWidget*>())
        w->setEnabled(editing);
}

void RequestFields::setWorkDescriptionVisible(bool visible)
{
    findChild<QWidget*>(u"l_leirasm"_s)->setVisible(visible);
    edit(u"e_leirasm"_s)->setVisible(visible);
}

void RequestFields::setActivities(const QStringList& names)
{
    QComboBox* box = comboBox(u"cb_tevekenys"_s);
    box->clear();
    box->addItems(names);
    box->setCurrentIndex(-1);
}

namespace
{

// Selects the item with exactly the text; none when no item has it.
void selectExactly(QComboBox* box, const QString& text)
{
    box->setCurrentIndex(text.isEmpty() ? -1 : box->findText(text, Qt::MatchExactly));
}

} // namespace

void RequestFields::showRequest(const Request& r)
{
    const Customer& c = r.customer;
    const std::pair<const char16_t*, QString> texts[] = {
        {u"e_ugyfelnev", c.nev},
        {u"e_irszam", c.irszam},
        {u"e_varos", c.varos},
        {u"e_utca", c.utca},
        {u"e_tel", c.telefon},
        {u"e_fax", c.fax},
        {u"e_mail", c.email},
        {u"e_komment", c.komment},
        {u"e_komment2", c.komment2},
        {u"e_keszulek", r.tipusKod},
        {u"e_keszuleknev", r.tipusNev},
        {u"e_gyariszam", r.gyariszam},
        {u"e_problema", r.problema},
        {u"e_nap", r.datum},
        {u"e_ora", r.ora},
        {u"e_szerelo", r.szerelo},
        {u"e_kszkod", r.kulsos.kod},
        {u"e_kszceg", r.kulsos.ceg},
        {u"e_ksznev", r.kulsos.nev},
        {u"e_alk", r.alk},
        {u"e_leirasm", r.leirasm},
    };
    for (const auto& [name, text] : texts) {
        QLineEdit* e = edit(QString::fromUtf16(name));
        if (e->text() != text) {
            e->setText(text);
            e->setCursorPosition(0);
        }
    }
    checkBox(u"cb_ujkeszulek"_s)->setChecked(r.ujKeszulek);
    checkBox(u"cb_tel"_s)->setChecked(r.telefon);
    checkBox(u"cb_le"_s)->setChecked(r.lemondta);
    checkBox(u"cb_kesz"_s)->setChecked(r.kesz);
    selectExactly(comboBox(u"cb_tevekenys"_s), r.tevekenyseg);
    selectExactly(comboBox(u"cb_dedu"_s), r.dedu);
    findChild<QLabel*>(u"l_munkakod"_s)
        ->setText(r.jobCode ? QString::number(r.jobCode) : QString());
}

void RequestFields::readInto(Request& r) const
{
    const auto text = [this](const char16_t* name) {
        return edit(QString::fromUtf16(name))->text();
    };
    Customer& c = r.customer;
    c.nev = text(u"e_ugyfelnev");
    c.irszam = text(u"e_irszam");
    c.varos = text(u"e_varos");
    c.utca = text(u"e_utca");
    c.telefon = text(u"e_tel");
    c.fax = text(u"e_fax");
    c.email = text(u"e_mail");
    c.komment = text(u"e_komment");
    c.komment2 = text(u"e_komment2");
    r.problema = text(u"e_problema");
    r.datum = text(u"e_nap");
    r.alk = text(u"e_alk");
    r.ujKeszulek = checkBox(u"cb_ujkeszulek"_s)->isChecked();
    r.telefon = checkBox(u"cb_tel"_s)->isChecked();
    r.lemondta = checkBox(u"cb_le"_s)->isChecked();
    r.kesz = checkBox(u"cb_kesz"_s)->isChecked();
    r.tevekenyseg = comboBox(u"cb_tevekenys"_s)->currentText();
    r.dedu = comboBox(u"cb_dedu"_s)->currentText();
}

bool RequestFields::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool popup = qobject_cast<QComboBox*>(watched) &&
                           static_cast<QComboBox*>(watched)->view()->isVisible();
        if (!popup && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down)) {
            focusNextChild();
            return true;
        }
        if (!popup && key == Qt::Key_Up) {
            focusPreviousChild();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace mivo::workflow
