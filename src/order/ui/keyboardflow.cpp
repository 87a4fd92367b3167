#include "keyboardflow.h"

#include "order/ui/orderactions.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTimer>

namespace vorlan {

KeyboardFlow::KeyboardFlow(MainForm &form, OrderActions &actions, std::function<QWidget *()> previewWindow,
                           QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_actions(actions)
    , m_previewWindow(std::move(previewWindow))
{
    m_selectOnFocus = {m_form.address, m_form.name, m_form.phone, m_form.paid, m_form.discountPortions,
                       m_form.actuallyPaid, m_form.discountAmount};
    // The application's filter sees the events of every control (function keys must work
    // from any of them); a filter on the fields as well would see each event twice.
    qApp->installEventFilter(this);
}

KeyboardFlow::~KeyboardFlow()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool KeyboardFlow::windowIsActive() const
{
    QWidget *active = QApplication::activeWindow();
    if (!active)
        return false;
    QWidget *preview = m_previewWindow ? m_previewWindow() : nullptr;
    return active == m_form.window || (preview && active == preview);
}

bool KeyboardFlow::onFunctionKey(int n)
{
    auto focus = [this](QWidget *target, bool selectAll = false) {
        m_form.window->activateWindow();
        target->setFocus(Qt::ShortcutFocusReason);
        if (selectAll) {
            if (auto *edit = qobject_cast<QLineEdit *>(target))
                edit->selectAll();
            else if (auto *text = qobject_cast<QPlainTextEdit *>(target))
                text->selectAll();
        }
    };
    switch (n) {
    case 1: focus(m_form.dishCode); return true;
    case 2: focus(m_form.tableCode, true); return true;
    case 3: focus(m_form.phone); return true;
    case 4: focus(m_form.discount); return true;
    case 5: focus(m_form.paymentMethod); return true;
    case 6: focus(m_form.grid); return true;
    case 7: focus(m_form.remark, true); return true;
    case 10: m_actions.confirmClear(); return true;
    case 11: m_actions.printOnly(); return true;
    case 12: m_actions.settleOrder(); return true;
    case 8:
    case 9: return m_spareKeys[n - 8] && m_spareKeys[n - 8]();
    default: return false;
    }
}

void KeyboardFlow::setSpareFunctionKey(int n, std::function<bool()> action)
{
    if (n == 8 || n == 9)
        m_spareKeys[n - 8] = std::move(action);
}

QWidget *KeyboardFlow::enterTarget(QObject *watched) const
{
    const QList<QPair<QWidget *, QWidget *>> moves = {
        {m_form.tableCode, m_form.table},        {m_form.table, m_form.phone},
        {m_form.phone, m_form.name},             {m_form.name, m_form.address},
        {m_form.address, m_form.remark},         {m_form.discount, m_form.discountPortions},
        {m_form.discountPortions, m_form.discountAmount}, {m_form.paymentMethod, m_form.paid},
        {m_form.paid, m_form.actuallyPaid},
    };
    for (const auto &[from, to] : moves)
        if (watched == from)
            return to;
    return nullptr;
}

bool KeyboardFlow::consumesEnter(QObject *watched) const
{
    const QList<QWidget *> edits = {m_form.discountPortions, m_form.name, m_form.paid, m_form.actuallyPaid,
                                    m_form.address, m_form.tableCode, m_form.phone, m_form.discountAmount};
    return edits.contains(qobject_cast<QWidget *>(watched));
}

bool KeyboardFlow::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        const int k = key->key();
        // Function keys: one action per press, from any control, only in our windows.
        if (k >= Qt::Key_F1 && k <= Qt::Key_F12 && key->modifiers() == Qt::NoModifier && windowIsActive()) {
            if (type == QEvent::ShortcutOverride) {
                event->accept();
                return true;
            }
            if (key->isAutoRepeat())
                return true;
            return onFunctionKey(k - Qt::Key_F1 + 1);
        }
    }
    if (!watched->isWidgetType())
        return false;

    if (type == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && (consumesEnter(watched) || enterTarget(watched)))
            return true; // the move happens when the key comes up
    } else if (type == QEvent::KeyRelease) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (QWidget *target = enterTarget(watched)) {
                target->setFocus(Qt::TabFocusReason);
                return true;
            }
            return consumesEnter(watched);
        }
    } else if (type == QEvent::FocusIn) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched); edit && m_selectOnFocus.contains(edit)) {
            // After the mouse press that gave the focus has placed the caret.
            QTimer::singleShot(0, edit, [edit] {
                if (edit->hasFocus())
                    edit->selectAll();
            });
        }
    }
    return false;
}

} // namespace vorlan
