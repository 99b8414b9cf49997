#include "panel/dataexchange.h"

#include <QAbstractButton>
#include <QLineEdit>

#include "panel/combocontrols.h"
#include "panel/controlhandles.h"
#include "panel/dialogform.h"
#include "panel/messagebox.h"

void CDataExchange::Fail(int controlId)
{
    m_bFailed = true;
    m_failedId = controlId;
}

void DDX_Control(CDataExchange* pDX, int id, CButton& button)
{
    if (!button.Widget())
        button.Attach(pDX->Form().Button(id));
}

void DDX_Control(CDataExchange* pDX, int id, CComboBox& combo)
{
    if (!combo.Control())
        combo.Attach(pDX->Form().Combo(id));
}

void DDX_Text(CDataExchange* pDX, int id, CString& value)
{
    if (pDX->Failed())
        return;
    pDX->m_lastTextId = id;
    QLineEdit* edit = pDX->Form().Edit(id);
    if (!edit)
        return;
    if (pDX->Saving()) {
        value = FromWidgetText(edit->text());
        return;
    }
    // Comparing before writing keeps the caret, the undo history and the
    // selection of a field whose text is already right.
    if (edit->text() != QLatin1String(value.constData(), value.size()))
        edit->setText(ToWidgetText(value));
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int maxChars)
{
    if (pDX->Failed())
        return;
    QLineEdit* edit = pDX->Form().Edit(pDX->m_lastTextId);
    if (!pDX->Saving()) {
        // Setting a limit, even the same one, sets the text again: the caret
        // jumps to the end, the undo history goes, and the text is laid out
        // anew, at every refresh, that is for every received character.
        if (edit && edit->maxLength() != maxChars)
            edit->setMaxLength(maxChars);
        return;
    }
    if (value.size() <= maxChars)
        return;
    AfxMessageBox(FormatText("Please enter no more than %d characters.", maxChars));
    if (edit)
        edit->setFocus();
    pDX->Fail(pDX->m_lastTextId);
}

void DDX_Radio(CDataExchange* pDX, int firstId, int& value)
{
    if (pDX->Failed())
        return;
    const auto& group = pDX->Form().RadioGroup(firstId);
    if (pDX->Saving())
        value = CheckedRadioInGroup(group);
    else
        CheckRadioInGroup(group, value);
}

void DDX_Check(CDataExchange* pDX, int id, int& value)
{
    if (pDX->Failed())
        return;
    QAbstractButton* box = pDX->Form().Button(id);
    if (!box)
        return;
    if (pDX->Saving())
        value = box->isChecked() ? 1 : 0;
    else if (box->isChecked() != (value != 0))
        box->setChecked(value != 0);
}
