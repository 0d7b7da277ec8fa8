#pragma once

namespace mivo
{

/// Whether a record is being typed on a screen. Commands that would leave it (moving to
/// another job, taking a job off the grid) refuse meanwhile.
class EditingGuard
{
public:
    bool editing() const { return m_editing; }
    void setEditing(bool editing) { m_editing = editing; }
    /// True, after telling the user to finish first, while a record is being typed.
    bool refuse() const;

private:
    bool m_editing = false;
};

} // namespace mivo
