#pragma once
// Handles on form controls for the few messages the handlers send them:
// a button's pushed look, and a combo box's selection and items.
#include "panel/cstring.h"

class QAbstractButton;
class ComboControl;

class CButton {
public:
    void Attach(QAbstractButton* button) { m_button = button; }
    QAbstractButton* Widget() const { return m_button; }
    void SetState(bool pushed);   // BM_SETSTATE
    bool GetState() const;

private:
    QAbstractButton* m_button = nullptr;
};

class CComboBox {
public:
    void Attach(ComboControl* combo) { m_combo = combo; }
    ComboControl* Control() const { return m_combo; }
    int SetCurSel(int index);                          // CB_SETCURSEL
    int GetCurSel() const;                             // CB_GETCURSEL
    int InsertString(int index, const CString& text);  // CB_INSERTSTRING
    int DeleteString(int index);                       // CB_DELETESTRING
    void ResetContent();                               // CB_RESETCONTENT
    int GetCount() const;
    CString GetWindowText() const;                     // the edit field's text

private:
    ComboControl* m_combo = nullptr;
};
