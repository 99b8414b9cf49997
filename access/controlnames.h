#pragma once
// The names a screen reader says for the form's controls.
class CDialogForm;

// Every control that takes focus gets a name a listener understands, and
// the few whose caption leaves their purpose open a description as well.
void NameFormControls(const CDialogForm& form);
