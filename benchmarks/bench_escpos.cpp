// Times a thermal receipt: a 20-line order with both pictures laid out on printer dots,
// turned into black and white and encoded as ESC/POS raster bands, at 58 and 80 mm.
// Reports the bytes each receipt sends. With --out DIR it also writes the encoded first
// copy (receipt-80.bin) and the bitmap the printer would print (receipt-80.png).

#include "benchsupport.h"
#include "sampleorder.h"

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


using namespace vorlan;

namespace {

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

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const ReceiptSnapshot order = bench::sampleReceiptOrder(20);
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
            const double cpuStart = bench::processCpuMs();
            const QImage bitmap = renderReceiptBitmap(profile, order, width, &top, &bottom);
            bytes = encodeEscPosCopy(bitmap, {});
            cpu.push_back(bench::processCpuMs() - cpuStart);
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
    out << "peak RSS " << bench::peakRssMiB() << " MiB\n";
    return 0;
}
