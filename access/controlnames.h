#pragma once
// The names a screen reader says for the form's controls.
#include <QString>

class CDialogForm;
struct FormControl;
struct FormTemplate;

// Every control that takes focus gets a name a listener understands, and
// the few whose caption leaves their purpose open a description as well.
void NameFormControls(const CDialogForm& form);

// The name of one control of the form; empty for labels and frames.
QString AccessibleNameOf(const FormTemplate& form, const FormControl& control);
