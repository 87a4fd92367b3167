#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;

namespace vorlan {

class Prompter;

// 请选择指定时间: one day for the history filter.
class DayPickerDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit DayPickerDialog(QWidget *parent = nullptr);
    QDate day() const;
    QDateEdit *dateEdit() const { return m_day; }

private:
    QDateEdit *m_day = nullptr;
};

// 请选择指定时间段: a period for the history filter; a start after the end is refused.
class PeriodPickerDialog final : public QDialog
{
    Q_OBJECT
public:
    PeriodPickerDialog(Prompter &prompter, QWidget *parent = nullptr);
    QDate first() const;
    QDate last() const;
    QDateEdit *firstEdit() const { return m_first; }
    QDateEdit *lastEdit() const { return m_last; }
    void confirm();

private:
    Prompter &m_prompter;
    QDateEdit *m_first = nullptr;
    QDateEdit *m_last = nullptr;
};

} // namespace vorlan
