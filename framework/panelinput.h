#pragma once

#include <QLineEdit>
#include <QPlainTextEdit>

#include <functional>

namespace mivo
{

/// What every input of a built panel offers, whatever widget it is: its text, read-only
/// and required state, a mark for a failed check, and the panel's key handling.
class PanelInput
{
public:
    virtual ~PanelInput() = default;

    virtual QWidget* widget() = 0;
    virtual QString value() const = 0;
    /// Shows the text whole; a length limit never cuts a value that is filled in.
    virtual void setValue(const QString& text) = 0;
    virtual bool isReadOnly() const = 0;
    virtual void setReadOnly(bool readOnly) = 0;

    /// A required input is yellow.
    bool isRequired() const { return m_required; }
    void setRequired(bool required);
    /// Marked while its last check failed.
    bool isInvalid() const { return m_invalid; }
    void setInvalid(bool invalid);
    /// Whether the user can type into it now.
    bool isEditable();

    /// The column type ("INTEGER", "FLOAT", ...) whose characters the input accepts.
    void setTypeName(const QString& typeName) { m_typeName = typeName; }
    QString typeName() const { return m_typeName; }
    /// Whether a typed character suits the column type.
    bool accepts(QChar c) const;
    /// Whether the value suits a whole-number column: empty, or digits after an optional
    /// "-". True for every other column (decimals are checked as they are stored, where a
    /// number format's group blanks are taken out).
    bool holdsWholeNumber() const;

    /// The input a widget is, or nullptr.
    static PanelInput* of(QObject* object);

protected:
    void applyColours();

    QString m_typeName;
    bool m_required = false;
    bool m_invalid = false;
};

/// A single-line input. Enter and Down ask the panel for the next input, Up for the
/// previous one; typed characters follow the column type and the forced case.
class PanelEdit : public QLineEdit, public PanelInput
{
    Q_OBJECT
public:
    enum class Case { Unchanged, Upper, Lower };

    explicit PanelEdit(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    QString value() const override { return text(); }
    void setValue(const QString& text) override;
    bool isReadOnly() const override { return QLineEdit::isReadOnly(); }
    void setReadOnly(bool readOnly) override { QLineEdit::setReadOnly(readOnly); }

    void setCharCase(Case c) { m_case = c; }
    Case charCase() const { return m_case; }
    /// CHARCASE letters: "K"/"L" lower, "N"/"U" upper, anything else unchanged.
    static Case caseOf(const QString& letter);

    /// step +1 (Enter, Down) or -1 (Up).
    std::function<void(PanelEdit*, int step)> onNavigate;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Case m_case = Case::Unchanged;
};

/// A multi-line input for MEMO columns; it remembers whether the user changed it since
/// it was loaded.
class PanelMemo : public QPlainTextEdit, public PanelInput
{
    Q_OBJECT
public:
    explicit PanelMemo(QWidget* parent = nullptr);

    QWidget* widget() override { return this; }
    QString value() const override { return toPlainText(); }
    /// Loads the text; the memo counts as unchanged afterwards.
    void setValue(const QString& text) override;
    bool isReadOnly() const override { return QPlainTextEdit::isReadOnly(); }
    void setReadOnly(bool readOnly) override { QPlainTextEdit::setReadOnly(readOnly); }

    bool isChanged() const { return m_changed; }

private:
    bool m_changed = false;
    bool m_loading = false;
};

} // namespace mivo
