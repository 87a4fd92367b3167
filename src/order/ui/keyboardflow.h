#pragma once

#include "order/ui/mainform.h"

#include <QObject>

#include <functional>

namespace vorlan {

class OrderActions;

// Drives the main window from the keyboard: F1–F7 jump to the field groups, F10–F12 run
// the order actions (whatever control has the focus, while the main window or the
// receipt preview is the active window); Enter walks through the fields of a group;
// focusing a field selects its text; leaving a field redraws the preview.
class KeyboardFlow final : public QObject
{
    Q_OBJECT
public:
    KeyboardFlow(MainForm &form, OrderActions &actions, std::function<QWidget *()> previewWindow,
                 std::function<void()> refreshPreview, QObject *parent = nullptr);
    ~KeyboardFlow() override;

    // Acts on function key F1..F12 (1..12). Returns true when the key was used.
    bool onFunctionKey(int n);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool windowIsActive() const;
    QWidget *enterTarget(QObject *watched) const;
    bool consumesEnter(QObject *watched) const;

    MainForm &m_form;
    OrderActions &m_actions;
    std::function<QWidget *()> m_previewWindow;
    std::function<void()> m_refreshPreview;
    QList<QWidget *> m_selectOnFocus;
    QList<QWidget *> m_refreshOnLeave;
};

} // namespace vorlan
