#include "web/webpanelseam.h"

#include <QComboBox>
#include <QJsonArray>

#include "access/controlnames.h"
#include "panel/tavrinview.h"
#include "panel/templatelookup.h"
#include "web/webcommands.h"
#include "web/webmessages.h"

namespace {

QString KindName(const FormControl& control, bool changed)
{
    switch (control.kind) {
    case ControlKind::PushButton: return QStringLiteral("push");
    case ControlKind::RadioButton: return QStringLiteral("radio");
    case ControlKind::CheckBox: return QStringLiteral("check");
    case ControlKind::Edit: return changed ? QStringLiteral("edit") : QStringLiteral("text");
    case ControlKind::ComboDropDown: return QStringLiteral("combo");
    case ControlKind::ComboSimple: return QStringLiteral("list");
    default: return QString();
    }
}

QJsonArray ItemsOf(const QWidget* widget)
{
    QJsonArray items;
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        for (int i = 0; i < combo->count(); ++i)
            items.append(combo->itemText(i));
    return items;
}

} // namespace

CWebPanelSeam::CWebPanelSeam(CTavrinView& view, const CSilenceWatch& silence) : m_view(view), m_reader(view, &silence) {}

QJsonObject CWebPanelSeam::Layout() const
{
    const CDialogForm& form = m_view.Form();
    QJsonArray controls;
    for (const WebControl& control : WebControls()) {
        const FormControl* shape = TemplateControl(form.Template(), control.id);
        QWidget* widget = form.Item(control.id);
        if (!shape || !widget)
            continue;
        const QString caption = QString::fromLatin1(shape->caption);
        const QString frame = FrameAround(form.Template(), *shape);
        QJsonObject entry{{QStringLiteral("name"), control.name},
                          {QStringLiteral("kind"), KindName(*shape, control.role.has_value())},
                          {QStringLiteral("label"), caption.isEmpty() ? widget->accessibleName() : caption},
                          {QStringLiteral("accessible"), widget->accessibleName()},
                          {QStringLiteral("group"), frame.isEmpty() ? control.section : frame},
                          {QStringLiteral("role"), control.role ? RoleName(*control.role) : QString()}};
        if (const QJsonArray items = ItemsOf(widget); !items.isEmpty())
            entry.insert(QStringLiteral("items"), items);
        controls.append(entry);
    }
    return {{QStringLiteral("type"), WebMessage::kLayout}, {QStringLiteral("controls"), controls}};
}

WebPanelState CWebPanelSeam::Snapshot() const { return WebPanelStateOf(m_reader.Read()); }
