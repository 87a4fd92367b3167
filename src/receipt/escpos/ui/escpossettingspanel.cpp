#include "escpossettingspanel.h"

#include "receipt/escpos/dotcanvas.h"
#include "receipt/escpos/escposencoder.h"
#include "receipt/escpos/escposjob.h"

#include "core/prompter.h"
#include "core/ui/combos.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vorlan {

namespace {

template<typename W>
W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

constexpr int kDensitySteps = 6;

} // namespace

EscPosSettingsPanel::EscPosSettingsPanel(Prompter &prompter, QWidget *parent) : QWidget(parent), m_prompter(prompter)
{
    m_connection = named(new QComboBox(this), QStringLiteral("组合框_热敏连接"));
    m_connection->addItems({QStringLiteral("USB/并口（设备文件）"), QStringLiteral("网络（TCP）")});
    m_device = named(new QComboBox(this), QStringLiteral("组合框_热敏设备"));
    m_device->setEditable(true);
    keepTypedText(m_device); // "/dev/usb/lp1" must not become a listed "/dev/usb/lp10"
    m_device->addItems(presentPrinterDevices());
    m_device->setCurrentIndex(-1);
    m_device->lineEdit()->setPlaceholderText(QStringLiteral("/dev/usb/lp0"));
    m_host = named(new QLineEdit(this), QStringLiteral("编辑框_打印机地址"));
    m_host->setPlaceholderText(QStringLiteral("192.168.1.100"));
    m_port = named(new QLineEdit(this), QStringLiteral("编辑框_打印机端口"));
    m_port->setPlaceholderText(QStringLiteral("9100"));
    m_port->setMaxLength(5);
    m_dotWidth = named(new QLineEdit(this), QStringLiteral("编辑框_打印点宽"));
    m_dotWidth->setPlaceholderText(QStringLiteral("自动（58小票384，80小票576）"));
    m_dotWidth->setMaxLength(4);
    m_density = named(new QComboBox(this), QStringLiteral("组合框_打印浓度"));
    for (int level = -kDensitySteps; level <= kDensitySteps; ++level)
        m_density->addItem(level == 0 ? QStringLiteral("打印机默认") : QString::asprintf("%+d", level));
    m_test = named(new QPushButton(QStringLiteral("测试打印"), this), QStringLiteral("按钮_测试打印"));
    m_test->setAutoDefault(false);

    m_form = new QFormLayout(this);
    m_form->setContentsMargins(0, 0, 0, 0);
    m_form->setHorizontalSpacing(6);
    m_form->setVerticalSpacing(5);
    m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    m_form->addRow(QStringLiteral("连接方式："), m_connection);
    m_form->addRow(QStringLiteral("设备文件："), m_device);
    m_form->addRow(QStringLiteral("打印机地址："), m_host);
    m_form->addRow(QStringLiteral("端口："), m_port);
    m_form->addRow(QStringLiteral("打印点宽："), m_dotWidth);
    m_form->addRow(QStringLiteral("打印浓度："), m_density);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_test);
    m_form->addRow(buttonRow);

    connect(m_connection, &QComboBox::currentIndexChanged, this, [this] { showConnection(); });
    connect(m_test, &QPushButton::clicked, this, &EscPosSettingsPanel::testPrint);
    setSettings({});
}

void EscPosSettingsPanel::showConnection()
{
    const bool network = m_connection->currentIndex() == 1;
    m_form->setRowVisible(m_device, !network);
    m_form->setRowVisible(m_host, network);
    m_form->setRowVisible(m_port, network);
}

void EscPosSettingsPanel::setSettings(const EscPosSettings &s)
{
    m_connection->setCurrentIndex(s.network ? 1 : 0);
    m_device->setEditText(s.device);
    m_host->setText(s.host);
    m_port->setText(s.port);
    m_dotWidth->setText(s.dotWidth);
    m_density->setCurrentIndex(std::clamp(s.density, -kDensitySteps, kDensitySteps) + kDensitySteps);
    showConnection();
}

EscPosSettings EscPosSettingsPanel::settings() const
{
    EscPosSettings s;
    s.network = m_connection->currentIndex() == 1;
    s.device = m_device->currentText();
    s.host = m_host->text();
    s.port = m_port->text();
    s.dotWidth = m_dotWidth->text();
    s.density = m_density->currentIndex() - kDensitySteps;
    return s;
}

bool EscPosSettingsPanel::validate()
{
    const EscPosSettingsProblem problem = checkEscPosSettings(settings());
    if (problem.field == EscPosSettingsProblem::None)
        return true;
    QLineEdit *edit = nullptr;
    switch (problem.field) {
    case EscPosSettingsProblem::Device: edit = m_device->lineEdit(); break;
    case EscPosSettingsProblem::Host: edit = m_host; break;
    case EscPosSettingsProblem::Port: edit = m_port; break;
    default: edit = m_dotWidth; break;
    }
    edit->setFocus();
    edit->selectAll();
    m_prompter.info(window(), problem.message);
    return false;
}

void EscPosSettingsPanel::testPrint()
{
    if (!validate())
        return;
    const EscPosSettings s = settings();
    const EscPosTarget target = escPosTarget(s);
    const int width = escPosDotWidth(s, narrowPaper && narrowPaper());
    const QByteArray page = encodeEscPosCopy(escPosTestPageBitmap(width, target.describe(), s.density), escPosEncoding(s));
    EscPosOutcome outcome;
    m_test->setEnabled(false);
    runOffGuiThread([&] { outcome = escPosTestPrint(target, page); });
    m_test->setEnabled(true);
    m_prompter.message(window(), outcome.sent ? PromptIcon::Information : PromptIcon::Warning,
                       QStringLiteral("测试打印"), outcome.message);
}

} // namespace vorlan
