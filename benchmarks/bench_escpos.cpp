// Times a thermal receipt: a 20-line order with both pictures laid out on printer dots,
// turned into black and white and encoded as ESC/POS raster bands, at 58 and 80 mm.
// Reports the bytes each receipt sends. With --out DIR it also writes the encoded first
// copy (receipt-80.bin) and the bitmap the printer would print (receipt-80.png).

#include "receipt/defaultpictures.h"
#include "receipt/escpos/dotcanvas.h"
#include "receipt/escpos/escposencoder.h"
#include "receipt/receiptprofile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <vector>

#include <sys/resource.h>
#include <ctime>

using namespace vorlan;

namespace {

ReceiptSnapshot sampleOrder(int lines)
{
    const QStringList dishes = {"宫保鸡丁", "鱼香肉丝", "番茄炒蛋", "酸辣土豆丝", "红烧牛肉面（大碗）", "米饭",
                                "可乐", "招牌秘制红烧排骨套餐加煎蛋", "凉拌黄瓜", "扬州炒饭"};
    ReceiptSnapshot o;
    o.orderNumber = "18";
    o.header = "美团外卖";
    o.shopName = "白云快餐";
    o.paymentMethod = "在线支付";
    o.orderTime = "2024-03-08 12:05";
    double total = 0;
    for (int i = 0; i < lines; ++i) {
        const int quantity = 1 + i % 3;
        const double price = 8 + (i * 7) % 23 + (i % 2 ? 0.5 : 0);
        total += quantity * price;
        o.lines.append({dishes.at(i % dishes.size()), QString::number(quantity), i % 5 == 4 ? "碗" : "份",
                        QString::number(quantity * price)});
    }
    o.discountName = "满100减15";
    o.discountPortions = "1";
    o.discountAmount = "15";
    o.total = QString::number(total - 15);
    o.paid = o.total;
    o.customerName = "王先生";
    o.phone = "13812345678";
    o.address = "幸福路88号阳光花园3栋2单元501室（请放门口，谢谢）";
    o.remark = "少放辣，米饭多一份。\r\n餐具两套。";
    return o;
}

ReceiptProfile customProfile()
{
    ReceiptProfile p;
    for (int i = 0; i < 11; ++i)
        p.fonts[i] = {9, 0};
    p.fonts[0] = {12, 1};
    p.fonts[6] = {12, 1};
    p.fonts[9] = {12, 1};
    p.fonts[10] = {12, 1};
    p.switches[SwitchTopPicture].on = 1;
    p.switches[SwitchBottomPicture].on = 1;
    return p;
}

// CPU time of this thread: on a shared machine the wall clock also counts other
// people's work.
double threadMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const ReceiptSnapshot order = sampleOrder(20);
    const ReceiptProfile profile = customProfile();
    const QImage top = defaultTopPicture();
    const QImage bottom = defaultBottomPicture();

    QTextStream out(stdout);
    for (const int width : {kNarrowDotWidth, kWideDotWidth}) {
        QByteArray bytes = encodeEscPosCopy(renderReceiptBitmap(profile, order, width, &top, &bottom), {}); // warm-up
        std::vector<double> ms;
        std::vector<double> cpu;
        for (int i = 0; i < 100; ++i) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = threadMs();
            const QImage bitmap = renderReceiptBitmap(profile, order, width, &top, &bottom);
            bytes = encodeEscPosCopy(bitmap, {});
            cpu.push_back(threadMs() - cpuStart);
            ms.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::sort(cpu.begin(), cpu.end());
        const QByteArray further = encodeEscPosCopy(renderReceiptBitmap(profile, order, width, nullptr, nullptr), {});
        std::sort(ms.begin(), ms.end());
        out << "thermal receipt, 20 lines, both pictures, " << (width == kNarrowDotWidth ? "58" : "80")
            << " mm (" << width << " dots): median " << ms[ms.size() / 2] << " ms, 95th percentile "
            << ms[ms.size() * 95 / 100] << " ms (CPU median " << cpu[cpu.size() / 2] << " ms); " << bytes.size() << " bytes sent (a further copy without pictures: "
            << further.size() << " bytes)\n";
        out.flush();

        const qsizetype outArg = args.indexOf("--out");
        if (outArg >= 0 && outArg + 1 < args.size() && width == kWideDotWidth) {
            QFile file(args.at(outArg + 1) + "/receipt-80.bin");
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                return 2;
            renderReceiptBitmap(profile, order, width, &top, &bottom).save(args.at(outArg + 1) + "/receipt-80.png");
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    out << "peak RSS " << usage.ru_maxrss / 1024.0 << " MiB\n";
    return 0;
}
