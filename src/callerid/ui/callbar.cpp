#include "callbar.h"

#include "callerid/ui/calltexts.h"
#include "core/ui/named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace vorlan {

CallBar::CallBar(Hooks hooks, QWidget *parent)
    : QFrame(parent)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("来电提示条"));
    setStyleSheet(QStringLiteral("QFrame#来电提示条 { background: #fff4c2; border: 1px solid #e0b84c; border-radius: 3px; }"
                                 "QLabel#标签_来电 { color: #7a4b00; font-weight: bold; }"));
    m_label = named(new QLabel(this), QStringLiteral("标签_来电"));
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_close = named(new QToolButton(this), QStringLiteral("按钮_关闭来电"));
    m_close->setText(QStringLiteral("×"));
    m_close->setAutoRaise(true);
    m_close->setToolTip(QStringLiteral("关闭"));
    m_close->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(8, 1, 2, 1);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_close);
    m_hide = new QTimer(this);
    m_hide->setSingleShot(true);
    m_hide->setInterval(kNoticeMs);
    connect(m_hide, &QTimer::timeout, this, &QWidget::hide);
    connect(m_close, &QToolButton::clicked, this, [this] {
        m_offered.clear();
        hide();
    });
    hide();
}

QString CallBar::text() const { return isHidden() ? QString() : m_full; }

void CallBar::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    fitText();
}

void CallBar::fitText()
{
    const QFontMetrics metrics(m_label->font());
    const int room = m_label->width();
    QString text = metrics.horizontalAdvance(m_full) <= room ? m_full : m_brief;
    m_label->setText(metrics.elidedText(text, Qt::ElideRight, room));
}

void CallBar::showText(const QString &full, const QString &brief, bool offer)
{
    m_full = full;
    m_brief = brief;
    setToolTip(full);
    show();
    fitText();
    if (offer)
        m_hide->stop(); // waits for F8 or the close button
    else
        m_hide->start();
}

void CallBar::onCall(const CallerIdCall &call)
{
    if (m_hooks.bringToFront)
        m_hooks.bringToFront();
    const QString customer = m_hooks.customerName ? m_hooks.customerName(call) : QString();
    const QString number = callNumberText(call);
    const QString who = customer.isEmpty() ? number : QStringLiteral("%1（%2）").arg(number, customer);
    if (call.number.isEmpty()) {
        // Nothing to fill in; an offer from an earlier call stays on offer.
        if (m_offered.isEmpty())
            showText(QStringLiteral("来电：%1").arg(who), QStringLiteral("来电：%1").arg(number), false);
        else
            showText(QStringLiteral("来电：%1；上一个来电 %2，按 F8 填入").arg(who, m_offered),
                     QStringLiteral("%1；%2 按 F8 填入").arg(number, m_offered), true);
        return;
    }
    if (m_hooks.orderOpen()) {
        m_offered = call.number;
        m_offeredWho = who;
        showText(QStringLiteral("来电：%1，按 F8 填入").arg(who), QStringLiteral("来电：%1，按 F8 填入").arg(number), true);
        return;
    }
    m_offered.clear();
    if (m_hooks.fillPhone)
        m_hooks.fillPhone(call.number);
    showText(QStringLiteral("来电：%1，已填入电话").arg(who), QStringLiteral("来电：%1，已填入").arg(number), false);
}

bool CallBar::takeOffer()
{
    if (m_offered.isEmpty())
        return false;
    const QString number = m_offered;
    m_offered.clear();
    if (m_hooks.fillPhone)
        m_hooks.fillPhone(number);
    showText(QStringLiteral("来电：%1，已填入电话").arg(m_offeredWho), QStringLiteral("来电：%1，已填入").arg(number),
             false);
    return true;
}

} // namespace vorlan
