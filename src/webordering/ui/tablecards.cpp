#include "tablecards.h"

#include "core/fonts.h"
#include "webordering/qrcode.h"

#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace vorlan {

namespace {

void paintCard(QPainter &painter, const QRectF &cell, const TableCard &card)
{
    painter.setPen(QPen(Qt::gray, 0, Qt::DashLine));
    painter.drawRect(cell);

    const QImage modules = qrCodeModules(card.url);
    const double unit = cell.width() / 100.0; // sizes below in hundredths of the card's width
    const double side = 62 * unit;
    const QRectF qr(cell.center().x() - side / 2, cell.top() + 8 * unit, side, side);
    if (!modules.isNull()) {
        // Four modules of quiet zone are left white around the code.
        const double module = side / (modules.width() + 8);
        const QRectF code = qr.adjusted(4 * module, 4 * module, -4 * module, -4 * module);
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(code, modules);
        painter.restore();
    }

    QFont font(chineseFontFamily());
    font.setPixelSize(qRound(11 * unit));
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QRectF codeText(cell.left(), qr.bottom() + 2 * unit, cell.width(), 14 * unit);
    painter.drawText(codeText, Qt::AlignCenter, card.tableCode);
    font.setPixelSize(qRound(7 * unit));
    painter.setFont(font);
    painter.drawText(QRectF(cell.left(), codeText.bottom(), cell.width(), 10 * unit), Qt::AlignCenter,
                     QStringLiteral("扫码点餐"));
}

} // namespace

bool paintTableCards(QPagedPaintDevice &device, const QList<TableCard> &cards)
{
    if (cards.isEmpty())
        return false;
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10)));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF page = painter.viewport();
    const double width = page.width() / 2;
    const double height = page.height() / 3;
    for (int i = 0; i < cards.size(); ++i) {
        const int slot = i % kTableCardsPerPage;
        if (i > 0 && slot == 0 && !device.newPage())
            return false;
        const QRectF cell(page.left() + (slot % 2) * width, page.top() + (slot / 2) * height, width, height);
        // The card is as high as wide at most, centred in its cell.
        const double side = std::min(cell.width(), cell.height()) * 0.92;
        paintCard(painter, QRectF(cell.center().x() - side / 2, cell.center().y() - side / 2, side, side), cards.at(i));
    }
    return painter.end();
}

bool writeTableCardsPdf(const QString &path, const QList<TableCard> &cards)
{
    bool painted = false;
    {
        QPdfWriter writer(path);
        writer.setResolution(300);
        writer.setTitle(QStringLiteral("扫码点餐桌卡"));
        painted = paintTableCards(writer, cards);
    }
    return painted && QFile(path).size() > 0;
}

} // namespace vorlan
