#include "defaultpictures.h"

#include "core/savefile.h"

#include "paintercanvas.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QSaveFile>

namespace vorlan {

namespace {

const QColor kInk(0x1a, 0x1a, 0x1a);
const QColor kGrey(0x6b, 0x6b, 0x6b);

QFont pictureFont(int pixels, bool bold)
{
    QFont font(receiptFontFamily());
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QImage blankPicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// A QR-code-like symbol: three finder squares, timing lines and a fixed module pattern.
void drawSampleCode(QPainter &p, const QRect &area)
{
    const int modules = 25;
    const double m = double(area.width()) / modules;
    auto module = [&](int col, int row) { p.fillRect(QRectF(area.left() + col * m, area.top() + row * m, m + 0.5, m + 0.5), kInk); };
    auto finder = [&](int col, int row) {
        p.fillRect(QRectF(area.left() + col * m, area.top() + row * m, 7 * m, 7 * m), kInk);
        p.fillRect(QRectF(area.left() + (col + 1) * m, area.top() + (row + 1) * m, 5 * m, 5 * m), Qt::white);
        p.fillRect(QRectF(area.left() + (col + 2) * m, area.top() + (row + 2) * m, 3 * m, 3 * m), kInk);
    };
    auto reserved = [&](int c, int r) {
        const bool nearFinder = (c < 8 && r < 8) || (c >= modules - 8 && r < 8) || (c < 8 && r >= modules - 8);
        const bool alignment = c >= 16 && c <= 20 && r >= 16 && r <= 20;
        return nearFinder || alignment || c == 6 || r == 6;
    };
    QRandomGenerator bits(20170805);
    for (int r = 0; r < modules; ++r)
        for (int c = 0; c < modules; ++c)
            if (!reserved(c, r) && bits.bounded(100) < 48)
                module(c, r);
    for (int i = 8; i < modules - 8; i += 2) {
        module(i, 6);
        module(6, i);
    }
    finder(0, 0);
    finder(modules - 7, 0);
    finder(0, modules - 7);
    // Alignment pattern.
    p.fillRect(QRectF(area.left() + 16 * m, area.top() + 16 * m, 5 * m, 5 * m), kInk);
    p.fillRect(QRectF(area.left() + 17 * m, area.top() + 17 * m, 3 * m, 3 * m), Qt::white);
    module(18, 18);
}

} // namespace

QImage defaultTopPicture()
{
    QImage image = blankPicture(430, 189);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Dashed frame: "your picture goes here".
    QPen frame(kGrey, 2, Qt::DashLine);
    frame.setDashPattern({5, 4});
    p.setPen(frame);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(8, 8, 414, 173), 14, 14);

    // A storefront mark on the left.
    const QRectF mark(30, 46, 96, 96);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(mark, 18, 18);
    p.setBrush(Qt::white);
    QPainterPath awning;
    awning.moveTo(46, 74);
    awning.lineTo(110, 74);
    awning.lineTo(104, 62);
    awning.lineTo(52, 62);
    awning.closeSubpath();
    p.drawPath(awning);
    for (int i = 0; i < 4; ++i)
        p.drawEllipse(QRectF(46 + i * 16, 70, 16, 12));
    p.drawRect(QRectF(52, 84, 52, 42));
    p.setBrush(kInk);
    p.drawRect(QRectF(60, 98, 16, 28));
    p.drawRect(QRectF(82, 92, 16, 14));

    p.setPen(kInk);
    p.setFont(pictureFont(27, true));
    p.drawText(QRectF(144, 40, 270, 40), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("您的店铺标志"));
    p.setFont(pictureFont(20, false));
    p.drawText(QRectF(144, 80, 270, 32), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("或二维码放在这里"));
    p.setPen(kGrey);
    p.setFont(pictureFont(14, false));
    p.drawText(QRectF(144, 116, 270, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("设置 → 打印设置 → 顶部图片"));
    p.drawText(QRectF(144, 138, 270, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("建议宽 430 像素的黑白 PNG 图片"));
    return image;
}

QImage defaultBottomPicture()
{
    QImage image = blankPicture(430, 430);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRect code(95, 22, 240, 240);
    drawSampleCode(p, code);
    // The "sample" tag across the code's centre keeps it from being mistaken for a real one.
    const QRectF tag(165, 127, 100, 30);
    p.setPen(QPen(kInk, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(tag, 6, 6);
    p.setPen(kInk);
    p.setFont(pictureFont(17, true));
    p.drawText(tag, Qt::AlignCenter, QStringLiteral("示例"));

    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(40, 290), QPointF(390, 290));
    p.setFont(pictureFont(30, true));
    p.drawText(QRectF(0, 300, 430, 50), Qt::AlignCenter, QStringLiteral("扫码关注 下单更优惠"));
    p.setFont(pictureFont(22, false));
    p.drawText(QRectF(0, 352, 430, 40), Qt::AlignCenter, QStringLiteral("新品上市 · 会员专享折扣"));
    p.setPen(kGrey);
    p.setFont(pictureFont(13, false));
    p.drawText(QRectF(0, 396, 430, 24), Qt::AlignCenter, QStringLiteral("在 打印设置 中换成本店的二维码与宣传语"));
    return image;
}

bool writeDefaultPictureIfMissing(const QString &path, const QImage &picture)
{
    if (QFileInfo::exists(path))
        return true;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "PNG"))
        return false;
    return commitSaveFile(file);
}

QString pictureProblem(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return {};
    QImageReader reader(path);
    if (reader.read().isNull())
        return QStringLiteral("%1 不是可用的图片（%2）").arg(QDir::toNativeSeparators(path), reader.errorString());
    return {};
}

} // namespace vorlan
