#pragma once
// The names a screen reader says for the form's controls.
#include <QString>

class CDialogForm;
struct FormControl;
struct FormTemplate;

// Every control that takes focus gets a name a listener understands, and
// the few whose caption leaves their purpose open a description as well.
void NameFormControls(const CDialogForm& form);

// The caption of the group box around a control's middle, or empty.
QString FrameAround(const FormTemplate& form, const FormControl& control);
