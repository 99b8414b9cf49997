#pragma once
// Data exchange between the panel's members and the form's controls, in both
// directions: "save" reads the form into the members, otherwise the members
// are written into the form. An exchange that fails validation stops there;
// the exchanges after it in the list are skipped.
#include "panel/cstring.h"

class CDialogForm;
class CButton;
class CComboBox;

class CDataExchange {
public:
    CDataExchange(const CDialogForm& form, bool saveAndValidate)
        : m_form(form), m_bSaveAndValidate(saveAndValidate) {}

    const CDialogForm& Form() const { return m_form; }
    bool Saving() const { return m_bSaveAndValidate; }
    bool Failed() const { return m_bFailed; }
    void Fail(int controlId);
    int FailedControl() const { return m_failedId; }

private:
    const CDialogForm& m_form;
    bool m_bSaveAndValidate;
    bool m_bFailed = false;
    int m_failedId = 0;
    int m_lastTextId = 0;
    friend void DDX_Text(CDataExchange*, int, CString&);
    friend void DDV_MaxChars(CDataExchange*, const CString&, int);
};

void DDX_Control(CDataExchange* pDX, int id, CButton& button);
void DDX_Control(CDataExchange* pDX, int id, CComboBox& combo);
void DDX_Text(CDataExchange* pDX, int id, CString& value);
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars);
void DDX_Radio(CDataExchange* pDX, int firstId, int& value);
void DDX_Check(CDataExchange* pDX, int id, int& value);
