#pragma once

#include "receipt/escpossettings.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPushButton;

namespace vorlan {

class Prompter;

// The thermal printer's part of the page 打印输出: device file or network printer, dot
// width, density and "测试打印". It edits an EscPosSettings; the print settings window
// loads and stores it with the other print settings.
class EscPosSettingsPanel final : public QWidget
{
    Q_OBJECT
public:
    EscPosSettingsPanel(Prompter &prompter, QWidget *parent);

    void setSettings(const EscPosSettings &settings);
    EscPosSettings settings() const;

    // False, with the field focused and the operator told why, when the settings cannot
    // be used.
    bool validate();
    // "测试打印" with the settings as they stand in the panel (not yet applied).
    void testPrint();

    // Whether the paper chosen in the window is 58 mm (for the automatic dot width).
    std::function<bool()> narrowPaper;

private:
    void showConnection();

    Prompter &m_prompter;
    QFormLayout *m_form = nullptr;
    QComboBox *m_connection = nullptr; // 组合框_热敏连接
    QComboBox *m_device = nullptr;     // 组合框_热敏设备
    QLineEdit *m_host = nullptr;       // 编辑框_打印机地址
    QLineEdit *m_port = nullptr;       // 编辑框_打印机端口
    QLineEdit *m_dotWidth = nullptr;   // 编辑框_打印点宽
    QComboBox *m_density = nullptr;    // 组合框_打印浓度
    QPushButton *m_test = nullptr;     // 按钮_测试打印
};

} // namespace vorlan
