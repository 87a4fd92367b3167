#include "escpossettings.h"

#include "core/recordkeys.h"
#include "core/recordtable.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

#include <arpa/inet.h>

namespace vorlan {

namespace {

constexpr int kMinDotWidth = 64;
constexpr int kMaxDotWidth = 2048;

bool isWholeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]{1,9}$"));
    return digits.match(text).hasMatch();
}

bool isAddress(const QString &host)
{
    const QByteArray text = host.toLatin1();
    unsigned char buffer[16];
    return inet_pton(AF_INET, text.constData(), buffer) == 1 || inet_pton(AF_INET6, text.constData(), buffer) == 1;
}

bool isHostName(const QString &host)
{
    // Letters, digits and hyphens in dot-separated labels of at most 63 characters.
    static const QRegularExpression label(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?$"));
    if (host.size() > 253)
        return false;
    const QStringList labels = host.split(u'.');
    for (const QString &part : labels)
        if (!label.match(part).hasMatch())
            return false;
    // All-digit labels are an IPv4 address, and that one did not parse.
    return !QRegularExpression(QStringLiteral("^[0-9.]+$")).match(host).hasMatch();
}

} // namespace

EscPosSettings loadEscPosSettings(RecordTable &records)
{
    using namespace recordkey;
    EscPosSettings s;
    s.network = records.read(ThermalConnection) == QStringLiteral("1");
    s.device = records.read(ThermalDevice);
    s.host = records.read(ThermalHost);
    s.port = records.read(ThermalPort);
    s.dotWidth = records.read(ThermalDotWidth);
    s.density = std::clamp(records.read(ThermalDensity).toInt(), -6, 6);
    return s;
}

QList<std::pair<QString, QString>> escPosSettingsRecords(const EscPosSettings &s)
{
    using namespace recordkey;
    return {{ThermalConnection, s.network ? QStringLiteral("1") : QStringLiteral("0")},
            {ThermalDevice, s.device},
            {ThermalHost, s.host},
            {ThermalPort, s.port},
            {ThermalDotWidth, s.dotWidth},
            {ThermalDensity, QString::number(s.density)}};
}

EscPosSettingsProblem checkEscPosSettings(const EscPosSettings &s)
{
    using P = EscPosSettingsProblem;
    if (!s.network) {
        if (s.device.trimmed().isEmpty())
            return {P::Device, QStringLiteral("请填写打印机设备文件，例如 /dev/usb/lp0。")};
        if (!s.device.startsWith(u'/'))
            return {P::Device, QStringLiteral("打印机设备文件应写完整路径，例如 /dev/usb/lp0。")};
    } else {
        const QString host = s.host.trimmed();
        if (host.isEmpty())
            return {P::Host, QStringLiteral("请填写打印机的网络地址，例如 192.168.1.100。")};
        if (host != s.host || (!isAddress(host) && !isHostName(host)))
            return {P::Host, QStringLiteral("打印机地址“%1”无效，请填写 IP 地址（如 192.168.1.100）或主机名。").arg(s.host)};
        if (!s.port.isEmpty() && (!isWholeNumber(s.port) || s.port.toInt() < 1 || s.port.toInt() > 65535))
            return {P::Port, QStringLiteral("端口应为 1-65535 之间的整数，网络打印机一般是 9100。")};
    }
    if (!s.dotWidth.isEmpty()) {
        const int width = s.dotWidth.toInt();
        if (!isWholeNumber(s.dotWidth) || width < kMinDotWidth || width > kMaxDotWidth || width % 8 != 0)
            return {P::DotWidth, QStringLiteral("打印点宽应为 %1-%2 之间 8 的倍数：58毫米纸一般是 384，80毫米纸一般是 576。")
                                     .arg(kMinDotWidth)
                                     .arg(kMaxDotWidth)};
    }
    return {};
}

int escPosDotWidth(const EscPosSettings &s, bool narrowPaper)
{
    const int width = s.dotWidth.toInt();
    if (width >= kMinDotWidth && width <= kMaxDotWidth)
        return width;
    return narrowPaper ? kNarrowDotWidth : kWideDotWidth;
}

quint16 escPosPort(const EscPosSettings &s)
{
    const int port = s.port.toInt();
    return port >= 1 && port <= 65535 ? quint16(port) : quint16(9100);
}

QStringList presentPrinterDevices(const QString &devRoot)
{
    QStringList found;
    const QDir usb(devRoot + QStringLiteral("/usb"));
    for (const QString &name : usb.entryList({QStringLiteral("lp*")}, QDir::System | QDir::Files, QDir::Name))
        found.append(usb.filePath(name));
    const QDir dev(devRoot);
    for (const QString &name : dev.entryList({QStringLiteral("lp[0-9]*")}, QDir::System | QDir::Files, QDir::Name))
        found.append(dev.filePath(name));
    return found;
}

} // namespace vorlan
