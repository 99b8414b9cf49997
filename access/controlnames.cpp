#include "access/controlnames.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRect>
#include <QString>
#include <QWidget>
#include <iterator>

#include "panel/combocontrols.h"
#include "panel/dialogform.h"
#include "res/formtemplate.h"
#include "res/resource.h"

namespace {

struct ControlText {
    int id;
    const char* text;
};

// Edits and lists have no caption: each is named after the label or frame
// that tells a sighted user what it is. The Up and Down push buttons stand
// under a label rather than in a frame.
const ControlText kNames[] = {
    {IDC_LAST_COMMAND, "Last command sent"},
    {IDC_FREQ, "Frequency in kHz"},
    {IDC_AGC, "AGC"},
    {IDC_MODE, "Mode"},
    {IDC_FREQ_UP, "Jog Frequency, Up"},
    {IDC_FREQ_DOWN, "Jog Frequency, Down"},
    {IDC_CHANNELS, "Channels"},
    {IDC_RF_GAIN, "RF Gain"},
    {IDC_BFO, "BFO offset in Hz"},
    {IDC_SCAN_UPPER, "Upper Limit"},
    {IDC_SCAN_LOWER, "Lower Limit"},
    {IDC_CHAN_LOWER, "Chan Scan Lower"},
    {IDC_CHAN_UPPER, "Chan Scan Upper"},
    {IDC_FREQ_ENTRY, "Frequency entry"},
    {IDC_STATUS, "Last status report"},
    {IDC_SETTINGS, "Port settings"},
};

// Said after the name, for controls whose name alone leaves open what they do.
const ControlText kDescriptions[] = {
    {IDC_FREQ, "What the radio reports. The mouse wheel here tunes by the Delta F step."},
    {IDC_FREQ_UP, "Tunes one Delta F step up."},
    {IDC_FREQ_DOWN, "Tunes one Delta F step down."},
    {IDC_JOG_UP, "Tunes a step up every half second, from Lower Limit to Upper Limit and round again."},
    {IDC_JOG_DOWN, "Tunes a step down every half second, from Upper Limit to Lower Limit and round again."},
    {IDC_CHANNELS, "Double-click a channel to recall it."},
};

// Each label stands for the control it names. On Linux a screen reader
// names a combo box by its label, since the name Qt gives it there is its
// current item. No caption has a mnemonic, so nothing changes on screen or
// on the keyboard.
const ControlText kLabels[] = {
    {IDC_FREQ, "Freq. in kHz"},
    {IDC_AGC, "AGC"},
    {IDC_MODE, "Mode"},
    {IDC_CHANNELS, "Chnl  Freq  Mode  AGC  Audio I/O - Description"},
    {IDC_CHAN_LOWER, "Lower"},
    {IDC_CHAN_UPPER, "Upper"},
    {IDC_SCAN_UPPER, "Upper Limit"},
    {IDC_SCAN_LOWER, "Lower Limit"},
    {IDC_SETTINGS, "COM Port Settings"},
};

const char* TextFor(const ControlText* table, size_t count, int id)
{
    for (size_t i = 0; i < count; ++i)
        if (table[i].id == id)
            return table[i].text;
    return nullptr;
}

bool IsButton(const FormControl& control)
{
    return control.kind == ControlKind::PushButton || control.kind == ControlKind::RadioButton
        || control.kind == ControlKind::CheckBox;
}

// A combo box takes focus in its edit field, and the channel list in its
// list as well: each part answers to the combo's name.
void NameParts(const CDialogForm& form, int id, const QString& name)
{
    ComboControl* combo = form.Combo(id);
    if (!combo)
        return;
    combo->EditField()->setAccessibleName(name);
    if (auto* channels = dynamic_cast<SimpleCombo*>(combo))
        channels->List()->setAccessibleName(name);
}

int IdLabelledBy(const FormControl& label)
{
    for (const ControlText& labelled : kLabels)
        if (label.kind == ControlKind::StaticText && qstrcmp(label.caption, labelled.text) == 0)
            return labelled.id;
    return 0;
}

void TieLabelsToControls(const CDialogForm& form)
{
    const FormTemplate& layout = form.Template();
    for (int i = 0; i < layout.count; ++i) {
        auto* label = qobject_cast<QLabel*>(form.Controls()[i]);
        if (const int id = IdLabelledBy(layout.controls[i]); label && id)
            label->setBuddy(form.Item(id));
    }
}

// Buttons say their caption after the frame they sit in, so the step "1 kHz"
// is heard as "Delta F, 1 kHz" and the three "Set" buttons tell themselves
// apart.
QString AccessibleNameOf(const FormTemplate& form, const FormControl& control)
{
    if (const char* name = TextFor(kNames, std::size(kNames), control.id))
        return QString::fromLatin1(name);
    if (!IsButton(control))
        return QString();
    const QString caption = QString::fromLatin1(control.caption);
    const QString frame = FrameAround(form, control);
    return frame.isEmpty() ? caption : frame + QStringLiteral(", ") + caption;
}

} // namespace

// The frame a control sits in: the group box around its middle.
QString FrameAround(const FormTemplate& form, const FormControl& control)
{
    const QPoint middle(control.x + control.w / 2, control.y + control.h / 2);
    for (int i = 0; i < form.count; ++i) {
        const FormControl& frame = form.controls[i];
        if (frame.kind == ControlKind::GroupBox && QRect(frame.x, frame.y, frame.w, frame.h).contains(middle))
            return QString::fromLatin1(frame.caption);
    }
    return QString();
}

void NameFormControls(const CDialogForm& form)
{
    const FormTemplate& layout = form.Template();
    for (int i = 0; i < layout.count; ++i) {
        const FormControl& control = layout.controls[i];
        const QString name = AccessibleNameOf(layout, control);
        if (name.isEmpty())
            continue;
        QWidget* widget = form.Controls()[i];
        widget->setAccessibleName(name);
        NameParts(form, control.id, name);
        if (const char* description = TextFor(kDescriptions, std::size(kDescriptions), control.id))
            widget->setAccessibleDescription(QString::fromLatin1(description));
    }
    TieLabelsToControls(form);
}
