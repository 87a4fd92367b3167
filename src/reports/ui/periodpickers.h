#pragma once

#include <QDate>
#include <QDialog>

#include <functional>

class QComboBox;
class QDateEdit;

namespace vorlan {

// Where the period pickers hand the chosen period: to the report window that opened them.
// The sales window takes the period after the picker has closed; the income window runs
// its report first and the picker closes only when the report found orders.
struct ReportPeriodTarget {
    bool closeBeforeRunning = false;
    std::function<bool(const QString &year)> year;
    std::function<bool(const QString &year, const QString &month)> month; // month "1".."12"
    std::function<bool(const QString &day)> day;                          // "2016年5月3日"
};

// The years offered: from the current one down to 2010, newest first.
QStringList reportYears(int currentYear);

class ReportYearPicker final : public QDialog
{
    Q_OBJECT
public:
    ReportYearPicker(ReportPeriodTarget target, const QDate &today, QWidget *parent = nullptr);
    void confirm();

private:
    ReportPeriodTarget m_target;
    QComboBox *m_year = nullptr;
};

class ReportMonthPicker final : public QDialog
{
    Q_OBJECT
public:
    ReportMonthPicker(ReportPeriodTarget target, const QDate &today, QWidget *parent = nullptr);
    void confirm();

private:
    ReportPeriodTarget m_target;
    QComboBox *m_year = nullptr;
    QComboBox *m_month = nullptr;
};

class ReportDatePicker final : public QDialog
{
    Q_OBJECT
public:
    ReportDatePicker(ReportPeriodTarget target, const QDate &today, QWidget *parent = nullptr);
    void confirm();

private:
    ReportPeriodTarget m_target;
    QDateEdit *m_date = nullptr;
};

} // namespace vorlan
