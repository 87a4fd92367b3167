// Times the receipt preview of a 20-line order (the redraw after every finished edit).
// With --pdf DIR it also prints the same order at 58 and 80 mm into DIR as PDF files.

#include "benchsupport.h"
#include "sampleorder.h"

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
    const ReceiptSnapshot order = bench::sampleReceiptOrder(20);

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
