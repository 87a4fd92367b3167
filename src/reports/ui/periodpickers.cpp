#include "periodpickers.h"

#include "core/ui/named.h"
#include "core/dates.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlan {

namespace {

// The common frame: the prompt on top, the period controls, the two buttons.
QHBoxLayout *buildFrame(QDialog *dialog, const QString &confirmName, const std::function<void()> &confirm)
{
    dialog->setFixedSize(380, 188);
    auto *layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(named(new QLabel(QStringLiteral("请选择生成报表的时间。"), dialog), QStringLiteral("透明标签6")));
    auto *controls = new QHBoxLayout;
    layout->addLayout(controls);
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *ok = named(new QPushButton(QStringLiteral("确认"), dialog), confirmName);
    auto *cancel = named(new QPushButton(QStringLiteral("取消"), dialog), QStringLiteral("按钮_取消"));
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    QObject::connect(ok, &QPushButton::clicked, dialog, confirm);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return controls;
}

QComboBox *yearBox(QDialog *dialog, const QDate &today)
{
    auto *box = named(new QComboBox(dialog), QStringLiteral("组合框_年选择"));
    box->addItems(reportYears(today.year()));
    box->setCurrentIndex(box->count() > 0 ? 0 : -1);
    box->setMinimumWidth(90);
    return box;
}

// Runs the report the way the target wants it and closes the picker accordingly.
template<typename Run>
void hand(QDialog *dialog, bool closeFirst, Run &&run)
{
    if (closeFirst) {
        dialog->accept();
        run();
    } else if (run()) {
        dialog->accept();
    }
}

} // namespace

QStringList reportYears(int currentYear)
{
    QStringList years;
    for (int year = currentYear; year >= 2010; --year)
        years.append(QString::number(year));
    return years;
}

ReportYearPicker::ReportYearPicker(ReportPeriodTarget target, const QDate &today, QWidget *parent)
    : QDialog(parent)
    , m_target(std::move(target))
{
    setObjectName(QStringLiteral("ReportYearPicker"));
    setWindowTitle(QStringLiteral("请选择指定时间段"));
    QHBoxLayout *controls = buildFrame(this, QStringLiteral("按钮2"), [this] { confirm(); });
    m_year = yearBox(this, today);
    controls->addWidget(m_year);
    controls->addWidget(named(new QLabel(QStringLiteral("年"), this), QStringLiteral("透明标签1")));
    controls->addStretch();
}

void ReportYearPicker::confirm()
{
    const QString year = m_year->currentText();
    if (year.isEmpty() || !m_target.year)
        return;
    hand(this, m_target.closeBeforeRunning, [&] { return m_target.year(year); });
}

ReportMonthPicker::ReportMonthPicker(ReportPeriodTarget target, const QDate &today, QWidget *parent)
    : QDialog(parent)
    , m_target(std::move(target))
{
    setObjectName(QStringLiteral("ReportMonthPicker"));
    setWindowTitle(QStringLiteral("请选择指定时间段"));
    QHBoxLayout *controls = buildFrame(this, QStringLiteral("按钮2"), [this] { confirm(); });
    m_year = yearBox(this, today);
    controls->addWidget(m_year);
    controls->addWidget(named(new QLabel(QStringLiteral("年"), this), QStringLiteral("透明标签1")));
    m_month = named(new QComboBox(this), QStringLiteral("组合框_年选择1"));
    for (int month = 1; month <= 12; ++month)
        m_month->addItem(QString::number(month));
    m_month->setCurrentIndex(today.month() - 1);
    m_month->setMinimumWidth(60);
    controls->addWidget(m_month);
    controls->addWidget(named(new QLabel(QStringLiteral("月"), this), QStringLiteral("透明标签2")));
    controls->addStretch();
}

void ReportMonthPicker::confirm()
{
    const QString year = m_year->currentText();
    const QString month = m_month->currentText();
    if (year.isEmpty() || month.isEmpty() || !m_target.month)
        return;
    hand(this, m_target.closeBeforeRunning, [&] { return m_target.month(year, month); });
}

ReportDatePicker::ReportDatePicker(ReportPeriodTarget target, const QDate &today, QWidget *parent)
    : QDialog(parent)
    , m_target(std::move(target))
{
    setObjectName(QStringLiteral("ReportDatePicker"));
    setWindowTitle(QString());
    QHBoxLayout *controls = buildFrame(this, QStringLiteral("按钮_确认"), [this] { confirm(); });
    m_date = named(new QDateEdit(today, this), QStringLiteral("日期框1"));
    m_date->setCalendarPopup(true);
    m_date->setDisplayFormat(QStringLiteral("yyyy年M月d日"));
    m_date->setMinimumWidth(160);
    controls->addWidget(m_date);
    controls->addStretch();
}

void ReportDatePicker::confirm()
{
    if (!m_target.day)
        return;
    const QString day = chineseDate(m_date->date());
    hand(this, m_target.closeBeforeRunning, [&] { return m_target.day(day); });
}

} // namespace vorlan
