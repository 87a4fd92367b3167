#pragma once

#include "escposencoder.h"
#include "escposlink.h"

#include <QString>
#include <QStringList>

namespace vorlan {

class RecordTable;

// The thermal printer as the operator set it up in 打印设置, kept in 记录 beside
// 打印输出 (which is "2" when receipts go to it). Texts are stored as typed.
struct EscPosSettings {
    bool network = false; // 热敏打印连接: "1" network, otherwise a device file
    QString device;       // 热敏打印设备
    QString host;         // 热敏打印机地址
    QString port;         // 热敏打印机端口, 9100 when empty
    QString dotWidth;     // 热敏打印点宽, empty: 384 for 58 mm paper, 576 for 80 mm
    int density = 0;      // 热敏打印浓度, -6 … 6, 0 leaves the printer's setting
};

// The value of 打印输出 that sends receipts to the thermal printer.
QString escPosOutputValue();

EscPosSettings loadEscPosSettings(RecordTable &records);
// Writes every key; the caller wraps it in the transaction of the other print settings.
bool saveEscPosSettings(RecordTable &records, const EscPosSettings &settings);

// What is wrong with the settings, in the operator's words, and which field it is;
// an empty problem when they can be used.
struct EscPosSettingsProblem {
    enum Field { None, Device, Host, Port, DotWidth } field = None;
    QString message;
};
EscPosSettingsProblem checkEscPosSettings(const EscPosSettings &settings);

// The dot width to print at: the operator's, or the paper's (小票类型 0 = 58 mm).
int escPosDotWidth(const EscPosSettings &settings, bool narrowPaper);
EscPosTarget escPosTarget(const EscPosSettings &settings);
EscPosEncoding escPosEncoding(const EscPosSettings &settings);

// Printer device files present on this machine (/dev/usb/lp0, /dev/lp0 …), for the
// operator to pick from.
QStringList presentPrinterDevices(const QString &devRoot = QStringLiteral("/dev"));

} // namespace vorlan
