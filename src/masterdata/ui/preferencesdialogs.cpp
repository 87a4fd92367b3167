#include "preferencesdialogs.h"

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/dates.h"
#include "core/prompter.h"
#include "masterdata/preferences.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QGridLayout>
#include <QRegularExpressionValidator>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace vorlan {

namespace {
void tellNotSaved(AppContext &context, QWidget *owner)
{
    context.prompter->info(owner, QStringLiteral("设置没有保存：%1").arg(context.store->lastError()));
}
} // namespace

DecimalPlacesDialog::DecimalPlacesDialog(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("设置"));
    setWindowTitle(QStringLiteral("设置"));
    setFixedSize(340, 238);

    auto *label = new QLabel(QStringLiteral("数量小数位数（0-3）："), this);
    label->setObjectName(QStringLiteral("透明标签3"));
    m_places = new QLineEdit(this);
    m_places->setObjectName(QStringLiteral("小数位数_编辑框"));
    m_places->setMaxLength(1);
    m_places->setFixedWidth(60);
    m_places->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]?")), m_places));
    auto *confirmButton = new QPushButton(QStringLiteral("确认"), this);
    confirmButton->setObjectName(QStringLiteral("确认"));
    confirmButton->setAutoDefault(false);
    connect(confirmButton, &QPushButton::clicked, this, &DecimalPlacesDialog::confirm);
    // Enter in the box confirms as well.
    connect(m_places, &QLineEdit::returnPressed, this, &DecimalPlacesDialog::confirm);

    auto *dayStartLabel = new QLabel(QStringLiteral("营业日开始时间："), this);
    m_dayStart = new QTimeEdit(this);
    m_dayStart->setObjectName(QStringLiteral("营业日开始时间_编辑框"));
    m_dayStart->setDisplayFormat(QStringLiteral("HH:mm"));
    m_dayStart->setTimeRange(QTime(0, 0), QTime(11, 59));
    m_dayStart->setFixedWidth(72);
    m_dayStart->setTime(businessDayStart());
    auto *dayStartHint = new QLabel(QStringLiteral("此时间之前的订单算作前一天"), this);
    QPalette hintPalette = dayStartHint->palette();
    hintPalette.setColor(QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    dayStartHint->setPalette(hintPalette);

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(6);
    fields->setVerticalSpacing(10);
    fields->setColumnStretch(0, 1);
    fields->setColumnStretch(3, 1);
    fields->addWidget(label, 0, 1, Qt::AlignRight);
    fields->addWidget(m_places, 0, 2, Qt::AlignLeft);
    fields->addWidget(dayStartLabel, 1, 1, Qt::AlignRight);
    fields->addWidget(m_dayStart, 1, 2, Qt::AlignLeft);
    fields->addWidget(dayStartHint, 2, 1, 1, 2, Qt::AlignCenter);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(confirmButton);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(fields);
    layout->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(1);

    m_places->setText(QString::number(m_context.decimalPlaces));
    m_places->setFocus();
    m_places->selectAll();
}

void DecimalPlacesDialog::confirm()
{
    const std::optional<int> places = decimalPlacesFromText(m_places->text());
    if (!places) {
        m_places->setFocus();
        m_places->selectAll();
        m_context.prompter->message(this, PromptIcon::Information, QStringLiteral("提示"),
                                    QStringLiteral("数值超出设定，请将小数位数控制在数值 0-3 的范围内。"));
        return;
    }
    const QTime dayStart = m_dayStart->time();
    if (m_context.store && !inTransaction(*m_context.store, [&] {
            return saveDecimalPlaces(*m_context.store, *places) && saveBusinessDayStart(*m_context.store, dayStart);
        })) {
        tellNotSaved(m_context, this);
        return;
    }
    m_context.decimalPlaces = *places;
    setBusinessDayStart(dayStart);
    accept();
}

TimeFormatDialog::TimeFormatDialog(AppContext &context, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
{
    setObjectName(QStringLiteral("选择时间格式"));
    setWindowTitle(QStringLiteral("选择时间格式"));
    setFixedSize(340, 238);

    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(40, 24, 40, 16);
    const QString captions[] = {QStringLiteral("月-日 时:分(12-30 01:59)"),
                                QStringLiteral("年/月/日 时:分(2000/12/30 01:59)"),
                                QStringLiteral("年-月-日 时:分(2000-12-30 01:59)")};
    for (int format = 0; format < 3; ++format) {
        auto *box = new QCheckBox(captions[format], this);
        box->setObjectName(QStringLiteral("选择框%1").arg(format + 1));
        m_group->addButton(box, format);
        layout->addWidget(box);
    }
    layout->addStretch(1);
    auto *okButton = new QPushButton(QStringLiteral("确定"), this);
    okButton->setObjectName(QStringLiteral("按钮2"));
    connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    const int current = m_context.timeFormat == 1 || m_context.timeFormat == 2 ? m_context.timeFormat : 0;
    m_group->button(current)->setChecked(true);
    // Clicking the box already checked stores its value again.
    connect(m_group, &QButtonGroup::idClicked, this, &TimeFormatDialog::choose);
}

void TimeFormatDialog::choose(int format)
{
    if (m_context.store && !saveTimeFormat(*m_context.store, format)) {
        tellNotSaved(m_context, this);
        if (QAbstractButton *box = m_group->button(m_context.timeFormat))
            box->setChecked(true);
        return;
    }
    if (QAbstractButton *box = m_group->button(format))
        box->setChecked(true);
    m_context.timeFormat = format;
}

} // namespace vorlan
