#pragma once
// A dialog template as data: the controls of a form in control (tab) order,
// positioned in dialog units.

enum class ControlKind {
    Edit,
    StaticText,
    GroupBox,
    PushButton,
    RadioButton,
    CheckBox,
    ComboDropDown,
    ComboSimple,
    HostedControl,
};

enum ControlStyle : unsigned {
    StyleNone = 0,
    StyleReadOnly = 1u << 0,
    StyleCentred = 1u << 1,
    StyleSunken = 1u << 2,
    StyleRightAligned = 1u << 3,
    StyleVScroll = 1u << 4,
};

struct FormControl {
    int id;
    ControlKind kind;
    const char* caption;
    int x, y, w, h;
    bool startsGroup;
    unsigned style;
    const char* const* items; // initial items of a combo box, null-terminated
};

struct FormTemplate {
    int width, height;        // dialog units
    const char* fontFace;
    int fontPointSize;
    const FormControl* controls;
    int count;
};

extern const FormTemplate g_formTavrin; // form 101
