#include "panel/templatelookup.h"

const FormControl* TemplateControl(const FormTemplate& form, int id)
{
    for (int i = 0; i < form.count; ++i)
        if (form.controls[i].id == id)
            return &form.controls[i];
    return nullptr;
}

// A group runs from its first radio button to the next control that starts
// a group; whatever is not a radio button in between is not counted.
RadioPlace RadioPlaceOf(const FormTemplate& form, int id)
{
    RadioPlace place;
    bool inGroup = false;
    for (int i = 0; i < form.count; ++i) {
        const FormControl& control = form.controls[i];
        if (control.startsGroup)
            inGroup = false;
        if (control.kind != ControlKind::RadioButton)
            continue;
        if (!inGroup) {
            inGroup = true;
            place = {control.id, 0};
        } else {
            ++place.position;
        }
        if (control.id == id)
            return place;
    }
    return {};
}
