#pragma once

#include "callerid/callerlines.h"

#include <QFrame>

#include <functional>

class QLabel;
class QTimer;
class QToolButton;

namespace vorlan {

// The bar above the order form that tells of an incoming call. With no order being
// composed the number goes straight into the phone box; with one open the bar only offers
// it ("来电：…，按 F8 填入") and F8 fills it in when the operator is ready.
class CallBar final : public QFrame
{
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> orderOpen = [] { return false; };
        // Puts the number in the phone box as if typed there.
        std::function<void(const QString &number)> fillPhone;
        std::function<void()> bringToFront;
        std::function<QString(const CallerIdCall &call)> customerName;
    };
    static constexpr int kNoticeMs = 60000;

    CallBar(Hooks hooks, QWidget *parent = nullptr);

    void onCall(const CallerIdCall &call);
    // F8: fills in the number on offer. False when there is none.
    bool takeOffer();
    QString offeredNumber() const { return m_offered; }
    QString text() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // `full` names the customer; `brief` is shown instead when `full` does not fit.
    void showText(const QString &full, const QString &brief, bool offer);
    void fitText();

    Hooks m_hooks;
    QLabel *m_label = nullptr;
    QToolButton *m_close = nullptr;
    QTimer *m_hide = nullptr;
    QString m_offered;
    QString m_full, m_brief;
    QString m_offeredWho; // the number with the customer's name
};

} // namespace vorlan
