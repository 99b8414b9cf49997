#pragma once
// A form's template read as data: a control by its id, and where a radio
// button stands in its group, counted as the form's exchange counts it.
#include "res/formtemplate.h"

struct RadioPlace {
    int firstId = 0;    // the group's first button
    int position = -1;  // none: not a radio button of the form
};

const FormControl* TemplateControl(const FormTemplate& form, int id);
RadioPlace RadioPlaceOf(const FormTemplate& form, int id);
