#pragma once

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QTimeEdit;

namespace vorlan {

struct AppContext;

// 设置: the number of decimal places of order-line quantities (0 to 3) and the time at
// which the business day starts (营业日开始时间, 00:00 to 11:59).
class DecimalPlacesDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit DecimalPlacesDialog(AppContext &context, QWidget *parent = nullptr);

    // The 确认 button: stores valid values and closes, or tells the operator the range.
    // A new business day start is in force from then on.
    void confirm();

private:
    AppContext &m_context;
    QLineEdit *m_places = nullptr;
    QTimeEdit *m_dayStart = nullptr;
};

// 选择时间格式: the form of the order time. A choice is stored the moment it is clicked.
class TimeFormatDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit TimeFormatDialog(AppContext &context, QWidget *parent = nullptr);

    void choose(int format);

private:
    AppContext &m_context;
    QButtonGroup *m_group = nullptr;
};

} // namespace vorlan
