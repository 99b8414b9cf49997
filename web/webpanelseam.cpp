#include "web/webpanelseam.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QJsonArray>
#include <QLineEdit>
#include <QListWidget>

#include "access/controlnames.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "panel/templatelookup.h"
#include "res/resource.h"

namespace {

constexpr int kLongestEntry = 64;

QString KindName(const FormControl& control, WebUse use)
{
    switch (control.kind) {
    case ControlKind::PushButton: return QStringLiteral("push");
    case ControlKind::RadioButton: return QStringLiteral("radio");
    case ControlKind::CheckBox: return QStringLiteral("check");
    case ControlKind::Edit: return use == WebUse::Shown ? QStringLiteral("text") : QStringLiteral("edit");
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

QListWidget* ChannelRows(const CDialogForm& form)
{
    auto* channels = dynamic_cast<SimpleCombo*>(form.Combo(IDC_CHANNELS));
    return channels ? channels->List() : nullptr;
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
                          {QStringLiteral("kind"), KindName(*shape, control.use)},
                          {QStringLiteral("label"), caption.isEmpty() ? widget->accessibleName() : caption},
                          {QStringLiteral("accessible"), widget->accessibleName()},
                          {QStringLiteral("group"), frame.isEmpty() ? control.section : frame},
                          {QStringLiteral("role"), UseName(control.use)}};
        if (const QJsonArray items = ItemsOf(widget); !items.isEmpty())
            entry.insert(QStringLiteral("items"), items);
        controls.append(entry);
    }
    return {{QStringLiteral("type"), QStringLiteral("layout")}, {QStringLiteral("controls"), controls}};
}

WebPanelState CWebPanelSeam::Snapshot() const { return WebPanelStateOf(m_reader.Read()); }

void CWebPanelSeam::WatchReports(QObject* context, std::function<void()> heard)
{
    QObject::connect(&m_view, &CTavrinView::ReportParsed, context, [heard = std::move(heard)] { heard(); });
}

// The role is checked here, on the server: a page's disabled controls are
// no guard against a hand-made message.
QString CWebPanelSeam::Operate(OperatorRole role, const QJsonObject& message)
{
    const QString command = message.value(QStringLiteral("command")).toString();
    const bool recall = command == QLatin1String("recall");
    if (!recall && command != QLatin1String("press") && command != QLatin1String("enter")
        && command != QLatin1String("choose"))
        return QStringLiteral("Not a command this panel knows.");
    const QString name = recall ? QStringLiteral("channels") : message.value(QStringLiteral("control")).toString();
    const WebControl* control = FindWebControl(name);
    if (!control)
        return QStringLiteral("No control \"%1\" on this panel.").arg(name);
    if (const QString refusal = Refusal(role, *control); !refusal.isEmpty())
        return refusal;
    if (!m_view.Form().Item(control->id)->isEnabled())
        return QStringLiteral("\"%1\" is not in use on the panel just now.").arg(name);
    if (command == QLatin1String("press"))
        return Press(*control);
    if (command == QLatin1String("enter"))
        return Enter(*control, message.value(QStringLiteral("text")).toString());
    if (command == QLatin1String("choose"))
        return Choose(*control, message.value(QStringLiteral("index")).toInt(-1));
    return Recall(message.value(QStringLiteral("row")).toInt(-1));
}

QString CWebPanelSeam::Refusal(OperatorRole role, const WebControl& control) const
{
    if (!MayOperate(role))
        return QStringLiteral("Your role (%1) may watch but not change the radio.").arg(RoleName(role));
    if (control.use == WebUse::Shown)
        return QStringLiteral("\"%1\" shows what the panel knows; it cannot be changed.").arg(control.name);
    // Keying has its own rules (who holds the transmitter, a heartbeat);
    // it never reaches the panel's buttons from here.
    if (control.use == WebUse::Keying)
        return QStringLiteral("Keying is not available.");
    if (!MayUse(role, control.use))
        return QStringLiteral("Your role (%1) may not transmit.").arg(RoleName(role));
    return QString();
}

QString CWebPanelSeam::Press(const WebControl& control)
{
    QAbstractButton* button = m_view.Form().Button(control.id);
    if (!button)
        return QStringLiteral("\"%1\" is not a button.").arg(control.name);
    button->click();
    return QString();
}

// Typed over whatever the edit held, as a user selecting it all and typing
// would; then left, so the panel's leaving handler (if it has one) runs.
QString CWebPanelSeam::Enter(const WebControl& control, const QString& text)
{
    auto* edit = qobject_cast<QLineEdit*>(m_view.Form().Item(control.id));
    if (!edit)
        return QStringLiteral("\"%1\" takes no typing.").arg(control.name);
    if (text.size() > kLongestEntry)
        return QStringLiteral("That is too long for \"%1\".").arg(control.name);
    edit->selectAll();
    edit->insert(text);
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &leaving);
    return QString();
}

// As the drop-down's choice by keys does: the item becomes current and the
// combo says it was activated, which the panel hears as the list closing.
QString CWebPanelSeam::Choose(const WebControl& control, int index)
{
    auto* combo = qobject_cast<QComboBox*>(m_view.Form().Item(control.id));
    if (!combo)
        return QStringLiteral("\"%1\" has nothing to choose from.").arg(control.name);
    if (index < 0 || index >= combo->count())
        return QStringLiteral("\"%1\" has no item %2.").arg(control.name).arg(index);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    return QString();
}

// A double click selects the row first, then the list says so.
QString CWebPanelSeam::Recall(int row)
{
    QListWidget* rows = ChannelRows(m_view.Form());
    if (!rows || row < 0 || row >= rows->count())
        return QStringLiteral("The channel list has no row %1.").arg(row);
    rows->setCurrentRow(row);
    emit rows->itemDoubleClicked(rows->item(row));
    return QString();
}
