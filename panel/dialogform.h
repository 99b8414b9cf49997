#pragma once
// Builds a form's controls from its template onto a parent widget and finds
// them again by id. Positions are converted from dialog units with the form
// font's metrics, as a dialog manager does: one horizontal unit is a quarter
// of the average character width, one vertical unit an eighth of its height.
#include <QFont>
#include <QRect>
#include <unordered_map>
#include <vector>

#include "res/formtemplate.h"

class QAbstractButton;
class QButtonGroup;
class QLineEdit;
class QWidget;
class ComboControl;

// Dialog units of one font. Each edge of a rectangle is mapped on its own,
// so controls that meet in units meet in pixels too.
struct DialogUnits {
    double baseX = 0;  // average character width in pixels
    int baseY = 0;     // character height in pixels

    static DialogUnits ForFont(const QFont& font);
    QRect Map(const QRect& units) const;
};

class CDialogForm {
public:
    CDialogForm(QWidget* parent, const FormTemplate& form);

    QWidget* Item(int id) const;                 // first control with this id
    QLineEdit* Edit(int id) const;               // an edit, or a combo's edit field
    QAbstractButton* Button(int id) const;       // push button, radio or check box
    ComboControl* Combo(int id) const;
    const std::vector<QAbstractButton*>& RadioGroup(int firstId) const;

    // Dialog units to pixels with this form's font; the width of a unit may
    // be raised above the font's own so that every caption fits.
    QRect MapDialogRect(const QRect& units) const { return m_units.Map(units); }
    const DialogUnits& Units() const { return m_units; }
    QSize Size() const;

    const FormTemplate& Template() const { return m_template; }
    const std::vector<QWidget*>& Controls() const { return m_widgets; }

private:
    struct Group {
        int firstId;
        QButtonGroup* buttons;
        std::vector<QAbstractButton*> members;
    };

    // A control as each kind of lookup sees it, cast once when the form is
    // built: every refresh looks up some thirty controls, one refresh per
    // received character.
    struct Found {
        QWidget* item = nullptr;
        QLineEdit* edit = nullptr;
        QAbstractButton* button = nullptr;
        ComboControl* combo = nullptr;
    };

    QWidget* Create(const FormControl& control);
    DialogUnits UnitsFittingCaptions() const;
    int CaptionRoom(int index, const DialogUnits& units) const;
    void Place(int index);
    void CollectRadioGroups();
    void IndexControls();
    const Found& Find(int id) const;

    QWidget* m_parent;
    const FormTemplate& m_template;
    QFont m_font;
    DialogUnits m_units;
    std::vector<QWidget*> m_widgets; // parallel to the template's controls
    std::unordered_map<int, Found> m_byId; // the first control with each id
    std::vector<Group> m_groups;
};

// Average character width of a dialog font: its 52 letters' width / 52.
int AverageCharWidth(const QFont& font);

// Dialog units of this font to pixels.
QRect MapDialogRect(const QFont& font, const QRect& units);

// Radio groups allow "nothing selected"; an exclusive button group does not,
// so the group's exclusivity is lifted for the moment of clearing.
void CheckRadioInGroup(const std::vector<QAbstractButton*>& group, int position);
int CheckedRadioInGroup(const std::vector<QAbstractButton*>& group);
