#pragma once

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTableWidget;
class QToolButton;
class QWidget;

namespace vorlan {

// The controls that hold the order being composed. The order panel creates them (each
// with its object name); the order-entry handlers work on them. `window` is the
// top-level window they sit in: it owns the messages and is the window the function keys
// act in.
//
// The grid 高级表格1 is a QTableWidget with the four columns 品名, 数量, 单位, 小计 in its
// horizontal header; its rows are the order lines, and the last row is always the empty
// row where the next dish goes.
struct MainForm {
    QWidget *window = nullptr;

    QLineEdit *orderNumber = nullptr;      // 编辑框_编号
    QComboBox *header = nullptr;           // 组合框_票头
    QComboBox *shopName = nullptr;         // 组合框_店铺名称
    QLineEdit *orderTime = nullptr;        // 编辑框_时间
    QPushButton *timeFormatButton = nullptr; // 按钮_时间设置

    QGroupBox *linesGroup = nullptr;       // 分组框6
    QTableWidget *grid = nullptr;          // 高级表格1

    QGroupBox *discountGroup = nullptr;    // 分组框3
    QComboBox *discount = nullptr;         // 组合框_减免
    QLineEdit *discountPortions = nullptr; // 编辑框_减免份数
    QLineEdit *discountAmount = nullptr;   // 编辑框_减免金额

    QGroupBox *paymentGroup = nullptr;     // 分组框2
    QLineEdit *total = nullptr;            // 编辑框_合计
    QComboBox *paymentMethod = nullptr;    // 组合框_付款方式
    QLineEdit *paid = nullptr;             // 编辑框_已支付
    QLineEdit *actuallyPaid = nullptr;     // 编辑框_实付

    QGroupBox *dishGroup = nullptr;        // 分组框1
    QLineEdit *dishCode = nullptr;         // 编辑框_项目代号
    QTableView *dishList = nullptr;        // 超级列表框2

    QGroupBox *tableGroup = nullptr;       // 分组框4 (hidden)
    QLineEdit *tableCode = nullptr;        // 编辑框_时间2
    QComboBox *table = nullptr;            // 组合框_桌号

    QGroupBox *deliveryGroup = nullptr;    // 分组框5
    QLineEdit *phone = nullptr;            // 编辑框_电话
    QLineEdit *name = nullptr;             // 编辑框_姓名
    QLineEdit *address = nullptr;          // 编辑框_地址

    QGroupBox *remarkGroup = nullptr;      // 分组框7
    QPlainTextEdit *remark = nullptr;      // 编辑框_备注

    QPushButton *previewButton = nullptr;  // 按钮_预览
    QPushButton *clearButton = nullptr;    // 按钮_清空
    QPushButton *printOnlyButton = nullptr; // 按钮_打单结算1
    QPushButton *settleButton = nullptr;   // 按钮_打单结算
    QLabel *guideLink = nullptr;           // 透明标签13
    QLabel *printHelpLink = nullptr;       // 透明标签11
    QLineEdit *orderId = nullptr;          // ID (hidden)
};

} // namespace vorlan
