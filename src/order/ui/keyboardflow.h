#pragma once

#include "order/ui/mainform.h"

#include <QObject>

#include <functional>

namespace vorlan {

class OrderActions;

// Drives the main window from the keyboard: F1–F7 jump to the field groups, F10–F12 run
// the order actions (whatever control has the focus, while the main window or the
// receipt preview is the active window); Enter walks through the fields of a group;
// focusing a field selects its text. One application-wide event filter sees every key
// and focus event once; redrawing the preview after an edit is the order entry's.
class KeyboardFlow final : public QObject
{
    Q_OBJECT
public:
    KeyboardFlow(MainForm &form, OrderActions &actions, std::function<QWidget *()> previewWindow,
                 QObject *parent = nullptr);
    ~KeyboardFlow() override;

    // Acts on function key F1..F12 (1..12). Returns true when the key was used.
    bool onFunctionKey(int n);
    // Gives a function key the order does not use (F8, F9) to another part of the
    // window; `action` returns whether the key was used.
    void setSpareFunctionKey(int n, std::function<bool()> action);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool windowIsActive() const;
    QWidget *enterTarget(QObject *watched) const;
    bool consumesEnter(QObject *watched) const;

    MainForm &m_form;
    OrderActions &m_actions;
    std::function<QWidget *()> m_previewWindow;
    QList<QWidget *> m_selectOnFocus;
    std::function<bool()> m_spareKeys[2]; // F8, F9
};

} // namespace vorlan
