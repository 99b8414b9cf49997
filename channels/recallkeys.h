#pragma once
// A channel is recalled from the keyboard too, so an operator who does not
// use the mouse, or hears the panel through a screen reader, can recall one:
// Enter on the selected line of the channel list, or the "Recall" item of
// the list's context menu (right-click or the Menu key), recalls that line
// exactly as a double-click on it does. A double-click stays as it is.
#include <QObject>

class CTavrinView;
class QContextMenuEvent;
class QKeyEvent;
class QListWidget;
class SimpleCombo;

class CRecallKeys : public QObject {
    Q_OBJECT
public:
    // Lives as long as the view; listens to its channel list.
    explicit CRecallKeys(CTavrinView& view);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    static bool IsEnter(const QKeyEvent& key);
    void OfferMenu(const QContextMenuEvent& event);
    void Recall(int row);

    CTavrinView& m_view;
    SimpleCombo* m_channels;
    QListWidget* m_list;
};
