#include "panel/dialogform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <cmath>

#include "panel/captionfit.h"
#include "panel/combocontrols.h"
#include "panel/heldpushbutton.h"
#include "panel/templatelookup.h"

namespace {
constexpr int kEditHeight = 12; // dialog units: the form's edit fields
}

// The average width of a dialog font is that of its 52 letters, rounded;
// this is what dialog units are measured in.
int AverageCharWidth(const QFont& font)
{
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (QFontMetrics(font).horizontalAdvance(alphabet) + 26) / 52;
}

CDialogForm::CDialogForm(QWidget* parent, const FormTemplate& form)
    : m_parent(parent), m_template(form), m_font(QString::fromLatin1(form.fontFace), form.fontPointSize)
{
    parent->setFont(m_font);
    m_widgets.reserve(form.count);
    for (int i = 0; i < form.count; ++i)
        m_widgets.push_back(Create(form.controls[i]));
    IndexControls();
    m_units = UnitsFittingCaptions();
    for (int i = 0; i < form.count; ++i)
        Place(i);
    CollectRadioGroups();
    // Frames are drawn beneath everything and never take a click, so a control
    // that comes before its frame in the tab order still gets its mouse input.
    for (QWidget* widget : m_widgets)
        if (qobject_cast<QGroupBox*>(widget))
            widget->lower();
    parent->resize(Size());
}

DialogUnits DialogUnits::ForFont(const QFont& font)
{
    return {double(AverageCharWidth(font)), QFontMetrics(font).height()};
}

QRect DialogUnits::Map(const QRect& units) const
{
    auto mapX = [this](int x) { return int(std::lround(x * baseX / 4)); };
    auto mapY = [this](int y) { return int(std::lround(y * baseY / 8.0)); };
    const int left = mapX(units.x());
    const int top = mapY(units.y());
    return QRect(left, top, mapX(units.x() + units.width()) - left, mapY(units.y() + units.height()) - top);
}

QRect MapDialogRect(const QFont& font, const QRect& units) { return DialogUnits::ForFont(font).Map(units); }

QSize CDialogForm::Size() const
{
    return MapDialogRect(QRect(0, 0, m_template.width, m_template.height)).size();
}

// The font's own units, made wider in steps of an eighth of a pixel until
// every caption fits the room it may take: a desktop's font and style can
// draw text and indicators wider than the form was laid out for.
DialogUnits CDialogForm::UnitsFittingCaptions() const
{
    DialogUnits units = DialogUnits::ForFont(m_font);
    const double widest = 2 * units.baseX;
    const auto allFit = [&] {
        for (int i = 0; i < m_template.count; ++i)
            if (CaptionWidthNeeded(m_widgets[i]) > CaptionRoom(i, units))
                return false;
        return true;
    };
    while (units.baseX < widest && !allFit())
        units.baseX += 0.125;
    return units;
}

int CDialogForm::CaptionRoom(int index, const DialogUnits& units) const
{
    const FormControl& control = m_template.controls[index];
    const int width = CaptionMayWiden(control.kind) ? FreeWidthToTheRight(m_template, index) : control.w;
    return units.Map(QRect(control.x, control.y, width, control.h)).width();
}

// Every control stands where the template puts it. A caption wider than its
// control takes the free space to its right; a drop-down list is, closed, as
// tall as the form's edit fields (the template's height is the open list's);
// the channel list shows only whole lines.
void CDialogForm::Place(int index)
{
    const FormControl& control = m_template.controls[index];
    QWidget* widget = m_widgets[index];
    QRect rect = MapDialogRect(QRect(control.x, control.y, control.w, control.h));
    if (CaptionMayWiden(control.kind))
        rect.setWidth(std::max(rect.width(), std::min(CaptionWidthNeeded(widget), CaptionRoom(index, m_units))));
    if (control.kind == ControlKind::ComboDropDown)
        rect.setHeight(MapDialogRect(QRect(0, 0, 0, kEditHeight)).height());
    if (auto* list = qobject_cast<SimpleCombo*>(widget))
        rect.setHeight(list->HeightForWholeItems(rect.height()));
    widget->setGeometry(rect);
}

static QWidget* CreateEdit(QWidget* parent, const FormControl& control)
{
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(control.style & StyleReadOnly);
    if (control.style & StyleCentred)
        edit->setAlignment(Qt::AlignCenter);
    if (control.style & StyleRightAligned)
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return edit;
}

static QWidget* CreateCombo(QWidget* parent, const FormControl& control)
{
    auto* combo = new DropDownCombo(parent);
    for (const char* const* item = control.items; item && *item; ++item)
        combo->addItem(QString::fromLatin1(*item));
    combo->setCurrentIndex(-1);
    return combo;
}

static QWidget* CreateFrame(QWidget* parent, const FormControl& control)
{
    QWidget* frame = control.kind == ControlKind::GroupBox
        ? static_cast<QWidget*>(new QGroupBox(QString::fromLatin1(control.caption), parent))
        : new QLabel(QString::fromLatin1(control.caption), parent);
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
    return frame;
}

QWidget* CDialogForm::Create(const FormControl& control)
{
    const QString caption = QString::fromLatin1(control.caption);
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlKind::Edit: widget = CreateEdit(m_parent, control); break;
    case ControlKind::StaticText:
    case ControlKind::GroupBox: widget = CreateFrame(m_parent, control); break;
    case ControlKind::PushButton: widget = new HeldPushButton(caption, m_parent); break;
    case ControlKind::RadioButton: widget = new QRadioButton(caption, m_parent); break;
    case ControlKind::CheckBox: widget = new QCheckBox(caption, m_parent); break;
    case ControlKind::ComboDropDown: widget = CreateCombo(m_parent, control); break;
    case ControlKind::ComboSimple: widget = new SimpleCombo(m_parent); break;
    case ControlKind::HostedControl:
        widget = new QWidget(m_parent);
        widget->setVisible(false);
        break;
    }
    widget->setObjectName(QStringLiteral("control%1").arg(control.id));
    return widget;
}

// A group's buttons follow one another in the template's order.
void CDialogForm::CollectRadioGroups()
{
    for (int i = 0; i < m_template.count; ++i) {
        const RadioPlace place = RadioPlaceOf(m_template, m_template.controls[i].id);
        if (place.position < 0)
            continue;
        if (place.position == 0)
            m_groups.push_back({place.firstId, new QButtonGroup(m_parent), {}});
        auto* button = static_cast<QAbstractButton*>(m_widgets[i]);
        m_groups.back().buttons->addButton(button);
        m_groups.back().members.push_back(button);
    }
}

void CDialogForm::IndexControls()
{
    for (int i = 0; i < m_template.count; ++i) {
        QWidget* widget = m_widgets[i];
        Found found;
        found.item = widget;
        found.button = qobject_cast<QAbstractButton*>(widget);
        if (auto* dropDown = qobject_cast<DropDownCombo*>(widget))
            found.combo = dropDown;
        else
            found.combo = qobject_cast<SimpleCombo*>(widget);
        found.edit = qobject_cast<QLineEdit*>(widget);
        if (!found.edit && found.combo)
            found.edit = found.combo->EditField();
        m_byId.emplace(m_template.controls[i].id, found);
    }
}

const CDialogForm::Found& CDialogForm::Find(int id) const
{
    static const Found none;
    const auto found = m_byId.find(id);
    return found == m_byId.end() ? none : found->second;
}

QWidget* CDialogForm::Item(int id) const { return Find(id).item; }

QLineEdit* CDialogForm::Edit(int id) const { return Find(id).edit; }

QAbstractButton* CDialogForm::Button(int id) const { return Find(id).button; }

ComboControl* CDialogForm::Combo(int id) const { return Find(id).combo; }

const std::vector<QAbstractButton*>& CDialogForm::RadioGroup(int firstId) const
{
    static const std::vector<QAbstractButton*> none;
    for (const Group& group : m_groups)
        if (group.firstId == firstId)
            return group.members;
    return none;
}

int CheckedRadioInGroup(const std::vector<QAbstractButton*>& group)
{
    for (size_t i = 0; i < group.size(); ++i)
        if (group[i]->isChecked())
            return static_cast<int>(i);
    return -1;
}

void CheckRadioInGroup(const std::vector<QAbstractButton*>& group, int position)
{
    if (CheckedRadioInGroup(group) == position)
        return;
    if (position >= 0 && position < static_cast<int>(group.size())) {
        group[position]->setChecked(true);
        return;
    }
    QButtonGroup* buttons = group.empty() ? nullptr : group.front()->group();
    if (buttons)
        buttons->setExclusive(false);
    for (QAbstractButton* button : group)
        button->setChecked(false);
    if (buttons)
        buttons->setExclusive(true);
}
