#include "panel/dialogform.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "panel/combocontrols.h"

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
    CollectRadioGroups();
    // Frames are drawn beneath everything and never take a click, so a control
    // that comes before its frame in the tab order still gets its mouse input.
    for (QWidget* widget : m_widgets)
        if (qobject_cast<QGroupBox*>(widget))
            widget->lower();
    parent->resize(Size());
}

QRect MapDialogRect(const QFont& font, const QRect& units)
{
    const int baseX = AverageCharWidth(font);
    const int baseY = QFontMetrics(font).height();
    auto mapX = [baseX](int x) { return (x * baseX + 2) / 4; };
    auto mapY = [baseY](int y) { return (y * baseY + 4) / 8; };
    return QRect(mapX(units.x()), mapY(units.y()), mapX(units.width()), mapY(units.height()));
}

QRect CDialogForm::MapDialogRect(const QRect& units) const { return ::MapDialogRect(m_font, units); }

QSize CDialogForm::Size() const
{
    return MapDialogRect(QRect(0, 0, m_template.width, m_template.height)).size();
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
    case ControlKind::PushButton: widget = new QPushButton(caption, m_parent); break;
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
    QRect rect = MapDialogRect(QRect(control.x, control.y, control.w, control.h));
    if (control.kind == ControlKind::ComboDropDown) // the template's height includes the open list
        rect.setHeight(widget->sizeHint().height());
    widget->setGeometry(rect);
    return widget;
}

void CDialogForm::CollectRadioGroups()
{
    Group* current = nullptr;
    for (int i = 0; i < m_template.count; ++i) {
        const FormControl& control = m_template.controls[i];
        if (control.startsGroup)
            current = nullptr;
        if (control.kind != ControlKind::RadioButton)
            continue;
        if (!current) {
            m_groups.push_back({control.id, new QButtonGroup(m_parent), {}});
            current = &m_groups.back();
        }
        auto* button = static_cast<QAbstractButton*>(m_widgets[i]);
        current->buttons->addButton(button);
        current->members.push_back(button);
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
