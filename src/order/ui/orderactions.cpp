#include "orderactions.h"

#include "core/dates.h"
#include "core/prompter.h"
#include "core/ui/combos.h"
#include "order/ui/orderentry.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace vorlan {

namespace {
const QString kNewCaption = QStringLiteral("打单结算(F12)");
const QString kModifyCaption = QStringLiteral("修改(F12)");
const QString kNoDish = QStringLiteral("无法完成，还没有选择任何菜品。");
} // namespace

OrderActions::OrderActions(MainForm &form, AppContext &context, OrderEntry &entry, Hooks hooks, QObject *parent)
    : QObject(parent)
    , m_form(form)
    , m_context(context)
    , m_entry(entry)
    , m_hooks(std::move(hooks))
{
    connect(m_form.settleButton, &QPushButton::clicked, this, &OrderActions::settleOrder);
    connect(m_form.printOnlyButton, &QPushButton::clicked, this, &OrderActions::printOnly);
    connect(m_form.clearButton, &QPushButton::clicked, this, &OrderActions::confirmClear);
}

bool OrderActions::holdsUnfinishedOrder() const
{
    return m_entry.hasLines() || !m_form.phone->text().isEmpty();
}

OrderFormTexts OrderActions::formTexts() const
{
    OrderFormTexts t;
    t.number = m_form.orderNumber->text();
    t.header = m_form.header->currentText();
    t.shopName = m_form.shopName->currentText();
    t.time = m_form.orderTime->text();
    t.discount = m_form.discount->currentText();
    t.discountPortions = m_form.discountPortions->text();
    t.discountAmount = m_form.discountAmount->text();
    t.total = m_form.total->text();
    t.paymentMethod = m_form.paymentMethod->currentText();
    t.paid = m_form.paid->text();
    t.actuallyPaid = m_form.actuallyPaid->text();
    t.table = m_form.table->currentText();
    t.phone = m_form.phone->text();
    t.name = m_form.name->text();
    t.address = m_form.address->text();
    t.remark = m_form.remark->toPlainText();
    t.lines = m_entry.lines();
    return t;
}

bool OrderActions::warnNoDish()
{
    if (m_entry.hasLines())
        return false;
    m_context.prompter->message(m_form.window, PromptIcon::Information, QStringLiteral("提示"), kNoDish);
    return true;
}

void OrderActions::tellStoreFailure(const QString &reason)
{
    m_context.prompter->message(m_form.window, PromptIcon::Information, QStringLiteral("提示"),
                                QStringLiteral("订单没有保存：%1\n订单仍在窗口中，请检查后重试。").arg(reason));
}

void OrderActions::settleOrder()
{
    // After a stored order failed to print, the hidden button means "already stored".
    if (m_form.settleButton->isHidden())
        return;
    if (warnNoDish())
        return;
    const bool modifying = isModifying();

    // A time text without a year keeps the stored order's year when modifying.
    int year = m_hooks.now().date().year();
    if (modifying && m_storedTime.isValid())
        year = m_storedTime.date().year();
    const OrderFormTexts texts = formTexts();
    auto collected = collectSettledOrder(texts, year);
    if (const auto *refusal = std::get_if<QString>(&collected)) {
        m_context.prompter->message(m_form.window, PromptIcon::Information, QStringLiteral("提示"), *refusal);
        return;
    }
    SettledOrder &order = std::get<SettledOrder>(collected);
    // The time field shows minutes only; an untouched field keeps the stored seconds.
    if (modifying && m_storedTime.isValid() && texts.time == m_storedTimeText)
        order.time = m_storedTime;
    QString error;

    if (!modifying) {
        if (!insertOrder(*m_context.store, order, &error)) {
            tellStoreFailure(error);
            return;
        }
        m_form.settleButton->hide();
        if (m_hooks.printReceipt(false))
            clearOrder();
        return;
    }

    if (!replaceOrder(*m_context.store, m_editingOrderId, order, &error)) {
        tellStoreFailure(error);
        return;
    }
    if (m_context.prompter->ask(m_form.window, PromptIcon::Question, QString(),
                                QStringLiteral("修改成功。是否打印小票？"), PromptDefault::Yes)
        && !m_hooks.printReceipt(false))
        return;
    clearOrder();
}

void OrderActions::printOnly()
{
    if (warnNoDish())
        return;
    m_hooks.printReceipt(true);
}

void OrderActions::confirmClear()
{
    if (m_context.prompter->ask(m_form.window, PromptIcon::Question, QString(), QStringLiteral("是否清空点单数据？"),
                                PromptDefault::Yes))
        clearOrder();
}

void OrderActions::clearOrder()
{
    m_form.orderNumber->setText(QString::number(m_hooks.refreshTodayCounters()));
    m_form.settleButton->show();
    m_form.settleButton->setText(kNewCaption);
    m_editingOrderId = 0;
    m_storedTime = QDateTime();
    m_storedTimeText.clear();
    m_form.orderId->clear();
    m_entry.clearLines();
    for (QLineEdit *edit : {m_form.total, m_form.paid, m_form.actuallyPaid, m_form.tableCode, m_form.phone,
                            m_form.name, m_form.address})
        edit->clear();
    m_form.remark->clear();
    // Names kept only for the order that was modified are not offered for the next one.
    for (QComboBox *combo : {m_form.header, m_form.shopName, m_form.discount, m_form.paymentMethod, m_form.table})
        dropStoredChoices(combo);
    m_form.dishCode->setFocus();
}

bool OrderActions::loadOrderForModification(int id)
{
    clearOrder();
    const auto stored = readStoredOrder(*m_context.store, id);
    if (!stored)
        return false;
    m_form.settleButton->setText(kModifyCaption);
    m_editingOrderId = id;
    m_form.orderId->setText(QString::number(id));

    m_storedTime = stored->time;
    m_storedTimeText = formatOrderTime(stored->time, m_context.timeFormat);

    // A name that is no longer in its list is shown as stored, so settling again keeps it.
    m_form.orderNumber->setText(stored->number);
    showStoredChoice(m_form.header, stored->header);
    showStoredChoice(m_form.shopName, stored->shopName);
    m_form.orderTime->setText(m_storedTimeText);
    showStoredChoice(m_form.discount, stored->discount);
    m_form.discountPortions->setText(stored->discountPortions);
    showStoredChoice(m_form.paymentMethod, stored->paymentMethod);
    showStoredChoice(m_form.table, stored->table);
    m_form.phone->setText(stored->phone); // fills name and address from the customer ...
    m_form.name->setText(stored->name);   // ... which the order's own texts replace
    m_form.address->setText(stored->address);
    m_form.remark->setPlainText(stored->remark);
    m_entry.setLines(stored->lines);

    // The money fields last and without their handlers: the stored values are the
    // order's, not values to recompute from each other.
    const std::pair<QLineEdit *, QString> money[] = {{m_form.discountAmount, stored->discountAmount},
                                                     {m_form.total, stored->total},
                                                     {m_form.actuallyPaid, stored->actuallyPaid},
                                                     {m_form.paid, stored->paid}};
    for (const auto &[edit, text] : money) {
        const QSignalBlocker blocker(edit);
        edit->setText(text);
    }
    return true;
}

} // namespace vorlan
