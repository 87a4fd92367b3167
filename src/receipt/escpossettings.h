#pragma once

#include <QString>
#include <QStringList>

namespace vorlan {

class RecordTable;

// Thermal heads print at 203 dots per inch: 384 dots across 58 mm paper, 576 across 80 mm.
constexpr int kNarrowDotWidth = 384;
constexpr int kWideDotWidth = 576;

// The thermal printer as the operator set it up in 打印设置, kept in 记录 beside
// 打印输出. Texts are stored as typed.
struct EscPosSettings {
    bool network = false; // a network printer, otherwise a device file
    QString device;       // /dev/usb/lp0 …
    QString host;
    QString port;         // 9100 when empty
    QString dotWidth;     // empty: 384 for 58 mm paper, 576 for 80 mm
    int density = 0;      // -6 … 6, 0 leaves the printer's setting alone
};

EscPosSettings loadEscPosSettings(RecordTable &records);
// The records and their values, in the order they are written.
QList<std::pair<QString, QString>> escPosSettingsRecords(const EscPosSettings &settings);

// What is wrong with the settings, in the operator's words, and which field it is;
// no field when they can be used.
struct EscPosSettingsProblem {
    enum Field { None, Device, Host, Port, DotWidth } field = None;
    QString message;
};
EscPosSettingsProblem checkEscPosSettings(const EscPosSettings &settings);

// The dot width to print at: the operator's, or the paper's.
int escPosDotWidth(const EscPosSettings &settings, bool narrowPaper);
// The TCP port to connect to.
quint16 escPosPort(const EscPosSettings &settings);

// Printer device files present on this machine (/dev/usb/lp0, /dev/lp0 …), for the
// operator to pick from.
QStringList presentPrinterDevices(const QString &devRoot = QStringLiteral("/dev"));

} // namespace vorlan
