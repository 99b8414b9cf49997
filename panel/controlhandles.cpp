#include "panel/controlhandles.h"

#include <QAbstractButton>

#include "panel/combocontrols.h"
#include "panel/heldpushbutton.h"

void CButton::SetState(bool pushed)
{
    if (auto* held = qobject_cast<HeldPushButton*>(m_button))
        held->SetState(pushed);
    else if (m_button)
        m_button->setDown(pushed);
}

bool CButton::GetState() const { return m_button && m_button->isDown(); }

int CComboBox::SetCurSel(int index)
{
    if (!m_combo)
        return -1;
    m_combo->SetCurSel(index);
    return m_combo->CurSel();
}

int CComboBox::GetCurSel() const { return m_combo ? m_combo->CurSel() : -1; }

int CComboBox::InsertString(int index, const CString& text)
{
    // -1 appends; an index past the end inserts nothing.
    if (!m_combo || index > m_combo->Count())
        return -1;
    const int row = index < 0 ? m_combo->Count() : index;
    m_combo->InsertString(row, text);
    return row;
}

int CComboBox::DeleteString(int index)
{
    if (!m_combo)
        return -1;
    m_combo->DeleteString(index);
    return m_combo->Count();
}

void CComboBox::ResetContent()
{
    if (m_combo)
        m_combo->ResetContent();
}

int CComboBox::GetCount() const { return m_combo ? m_combo->Count() : 0; }

CString CComboBox::GetWindowText() const { return m_combo ? m_combo->EditText() : CString(); }
