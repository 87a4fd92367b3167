#include "historypickers.h"

#include "core/dates.h"
#include "core/prompter.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlan {

namespace {

QDateEdit *makeDateEdit(const QString &name, QWidget *parent)
{
    // Today's business day: past midnight, before the day starts, still the day before.
    auto *edit = new QDateEdit(businessDate(QDateTime::currentDateTime()), parent);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    edit->setMinimumWidth(160);
    return edit;
}

QPushButton *makeConfirm(QWidget *parent)
{
    auto *button = new QPushButton(QStringLiteral("确认"), parent);
    button->setObjectName(QStringLiteral("按钮2"));
    button->setAutoDefault(false);
    button->setMinimumWidth(90);
    return button;
}

void centred(QVBoxLayout *layout, QWidget *a, QWidget *b = nullptr)
{
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(a);
    if (b)
        row->addWidget(b);
    row->addStretch(1);
    layout->addLayout(row);
}

} // namespace

DayPickerDialog::DayPickerDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("请选择指定时间"));
    setWindowTitle(QStringLiteral("请选择指定时间"));
    setFixedSize(380, 250);
    m_day = makeDateEdit(QStringLiteral("日期框1"), this);
    QPushButton *confirm = makeConfirm(this);
    connect(confirm, &QPushButton::clicked, this, &QDialog::accept);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    centred(layout, m_day);
    layout->addStretch(1);
    centred(layout, confirm);
    layout->addStretch(1);
}

QDate DayPickerDialog::day() const { return m_day->date(); }

PeriodPickerDialog::PeriodPickerDialog(Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("请选择指定时间段"));
    setWindowTitle(QStringLiteral("请选择指定时间段"));
    setFixedSize(380, 250);
    m_first = makeDateEdit(QStringLiteral("日期框1"), this);
    m_last = makeDateEdit(QStringLiteral("日期框2"), this);
    auto *from = new QLabel(QStringLiteral("从"), this);
    auto *to = new QLabel(QStringLiteral("到"), this);
    QPushButton *confirmButton = makeConfirm(this);
    connect(confirmButton, &QPushButton::clicked, this, &PeriodPickerDialog::confirm);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    centred(layout, from, m_first);
    centred(layout, to, m_last);
    layout->addStretch(1);
    centred(layout, confirmButton);
    layout->addStretch(1);
}

QDate PeriodPickerDialog::first() const { return m_first->date(); }
QDate PeriodPickerDialog::last() const { return m_last->date(); }

void PeriodPickerDialog::confirm()
{
    if (first() > last()) {
        m_prompter.info(this, QStringLiteral("起始日期不能大于结束日期。"));
        return;
    }
    accept();
}

} // namespace vorlan
