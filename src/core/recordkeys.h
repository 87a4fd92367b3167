#pragma once

#include <QString>

// Every key of the key/value table 记录, named once. Code reads and writes 记录 through
// these names only; a new key is added here.
namespace vorlan::recordkey {

// Receipt paper and profile (print settings window).
inline const QString PaperType = QStringLiteral("小票类型");       // "0" 58 mm, "1" 80 mm
inline const QString ProfileType = QStringLiteral("设置类型");     // "0" default, "1" custom
inline const QString FontSizes = QStringLiteral("字体大小");       // eleven sizes joined by "|"
inline const QString FontBolds = QStringLiteral("勾选加粗");       // eleven 0/1 flags joined by "|"
inline const QString Extra1On = QStringLiteral("附带信息1勾选");
inline const QString Extra2On = QStringLiteral("附带信息2勾选");
inline const QString Extra1 = QStringLiteral("附带信息1");
inline const QString Extra2 = QStringLiteral("附带信息2");
inline const QString TopPictureOn = QStringLiteral("顶部图片勾选");
inline const QString BottomPictureOn = QStringLiteral("底部图片勾选");
inline const QString Copies = QStringLiteral("打印份数");
inline const QString PrintOutput = QStringLiteral("打印输出");     // "1" PDF files, "2" thermal printer, else the printer
inline const QString PdfFolder = QStringLiteral("PDF文件夹");
// The thermal printer spoken to in ESC/POS (打印输出 "2").
inline const QString ThermalConnection = QStringLiteral("热敏打印连接"); // "1" network, else a device file
inline const QString ThermalDevice = QStringLiteral("热敏打印设备");     // /dev/usb/lp0 …
inline const QString ThermalHost = QStringLiteral("热敏打印机地址");
inline const QString ThermalPort = QStringLiteral("热敏打印机端口");     // empty: 9100
inline const QString ThermalDotWidth = QStringLiteral("热敏打印点宽");   // empty: by the paper
inline const QString ThermalDensity = QStringLiteral("热敏打印浓度");    // -6 … 6, 0 the printer's own

// The operator's last choices on the order window.
inline const QString Header = QStringLiteral("票头");
inline const QString ShopName = QStringLiteral("店铺名称");
inline const QString Discount = QStringLiteral("减免");
inline const QString DiscountPortions = QStringLiteral("减免份数");
inline const QString DiscountAmount = QStringLiteral("减免金额");
inline const QString PaymentMethod = QStringLiteral("付款方式");

// Preferences.
inline const QString DecimalPlaces = QStringLiteral("小数位数");
inline const QString TimeFormat = QStringLiteral("时间格式");
inline const QString BusinessDayStart = QStringLiteral("营业日开始时间"); // "HH:MM", "00:00" the calendar day

// The caller-ID device (来电显示 page).
inline const QString CallerIdPort = QStringLiteral("来电显示端口");       // empty: no device
inline const QString CallerIdMode = QStringLiteral("来电显示模式");       // "1" a box sending bare numbers, else a modem
inline const QString CallerIdBaudRate = QStringLiteral("来电显示波特率"); // empty: 9600

// The ordering page served to the customers' phones (扫码点餐 page).
inline const QString WebOrderPort = QStringLiteral("扫码点餐端口");     // empty: not served
inline const QString WebOrderToken = QStringLiteral("扫码点餐口令");    // the shop token in every link
inline const QString WebOrderLimit = QStringLiteral("扫码点餐每分钟限制"); // requests a minute from one address; empty: 60

// The program version that last opened the database.
inline const QString DatabaseVersion = QStringLiteral("数据库版本");

} // namespace vorlan::recordkey
