#include "previewrender.h"
#include "core/recordkeys.h"

#include "defaultpictures.h"
#include "paintercanvas.h"
#include "receiptlayout.h"
#include "receiptprofile.h"

#include "core/paths.h"
#include "core/recordtable.h"

#include <QDateTime>
#include <QFileInfo>
#include <QHash>
#include <QPainter>

namespace vorlan {

namespace {

// The preview redraws after every edit; decoding the same PNG files each time would be
// most of its work. A file that changed (time or size) is read again.
QImage loadPicture(const QString &path)
{
    struct Cached {
        QDateTime modified;
        qint64 size = -1;
        QImage picture;
    };
    static QHash<QString, Cached> cache;
    const QFileInfo info(path);
    if (!info.isFile()) {
        cache.remove(path);
        return QImage();
    }
    Cached &entry = cache[path];
    if (entry.size != info.size() || entry.modified != info.lastModified()) {
        entry.picture = QImage(path);
        entry.size = info.size();
        entry.modified = info.lastModified();
    }
    return entry.picture;
}

} // namespace

PreviewGeometry previewGeometry(DataStore &store)
{
    RecordTable records(store);
    if (integerValue(records.read(recordkey::PaperType)) == 0)
        return {194, 196, 215, 233};
    return {267, 269, 288, 306};
}

int renderPreviewImage(QImage &canvas, DataStore &store, const ProgramPaths &paths, const ReceiptSnapshot &order,
                       int width)
{
    RecordTable records(store);
    const ReceiptProfile profile = loadReceiptProfile(records);
    if (canvas.width() != width || canvas.height() != kPreviewCanvasHeight)
        canvas = QImage(width, kPreviewCanvasHeight, QImage::Format_RGB32);
    canvas.fill(Qt::white);

    auto load = [](bool on, const QString &path, QImage (*builtIn)()) {
        if (!on)
            return QImage();
        if (!QFileInfo::exists(path))
            writeDefaultPictureIfMissing(path, builtIn());
        return loadPicture(path);
    };
    const QImage top = load(profile.switches[SwitchTopPicture].on, paths.topPicture(), &defaultTopPicture);
    const QImage bottom = load(profile.switches[SwitchBottomPicture].on, paths.bottomPicture(), &defaultBottomPicture);

    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(Qt::black);
    PainterReceiptCanvas surface = PainterReceiptCanvas::forScreen(&painter);
    return renderReceipt(surface, profile, width, order, &top, &bottom);
}

} // namespace vorlan
