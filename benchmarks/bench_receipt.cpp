// Times the receipt preview of a 20-line order (the redraw after every finished edit).
// With --pdf DIR it also prints the same order at 58 and 80 mm into DIR as PDF files.

#include "benchsupport.h"

#include "core/datastore.h"
#include "core/paths.h"
#include "core/recordtable.h"
#include "core/schema.h"
#include "receipt/defaultpictures.h"
#include "receipt/previewrender.h"
#include "receipt/printbackend.h"
#include "receipt/printreceipt.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>

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
    o.remark = "少放辣，米饭多一份。\n餐具两套。";
    o.remark.replace("\n", "\r\n");
    return o;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    QTemporaryDir home;
    ProgramPaths paths{home.path()};
    DataStore store(QStringLiteral("bench"));
    if (!openDataStore(store, paths.dataDir(), paths.databasePath(), paths.configPath()).ok)
        return 1;
    RecordTable records(store);
    records.write("设置类型", "1");
    records.write("顶部图片勾选", "1");
    records.write("底部图片勾选", "1");
    records.write("附带信息2勾选", "1");
    records.write("附带信息2", "关注公众号“白云快餐”，每周三会员日全场八折，欢迎再次光临！");
    const ReceiptSnapshot order = sampleOrder(20);

    QTextStream out(stdout);
    for (const char *type : {"0", "1"}) {
        records.write("小票类型", type);
        const PreviewGeometry g = previewGeometry(store);
        QImage canvas;
        renderPreviewImage(canvas, store, paths, order, g.canvasWidth); // warm-up: fonts, pictures written
        bench::Samples samples;
        for (int i = 0; i < 200; ++i) {
            const bench::Stopwatch watch;
            renderPreviewImage(canvas, store, paths, order, g.canvasWidth);
            samples.add(watch.elapsed());
        }
        bench::report(QStringLiteral("receipt preview, 20 lines, %1 mm").arg(QString(type) == "0" ? "58" : "80"),
                      samples.median());
    }

    const qsizetype pdfArg = args.indexOf("--pdf");
    if (pdfArg >= 0 && pdfArg + 1 < args.size()) {
        const QString folder = args.at(pdfArg + 1);
        for (const char *type : {"0", "1"}) {
            records.write("小票类型", type);
            PdfFolderBackend backend(folder + (QString(type) == "0" ? "/58" : "/80"));
            if (!printReceipt(store, paths, order, backend, true))
                return 2;
            out << "written " << backend.lastFile() << "\n";
            QImage canvas;
            const PreviewGeometry g = previewGeometry(store);
            const int h = renderPreviewImage(canvas, store, paths, order, g.canvasWidth);
            canvas.copy(0, 0, canvas.width(), h).save(folder + (QString(type) == "0" ? "/preview-58.png" : "/preview-80.png"));
        }
    }
    return 0;
}
