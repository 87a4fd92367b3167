#pragma once

#include <QList>
#include <QString>

class QPagedPaintDevice;

namespace vorlan {

// One table card: the table's code printed under the QR code of its link.
struct TableCard {
    QString tableCode;
    QString url;
};

inline constexpr int kTableCardsPerPage = 6; // two columns of three on A4

// Draws the cards on A4 pages of `device` (which has not begun painting yet), six a page:
// the QR code, the table code and "扫码点餐" under it, a thin cutting frame around each.
// False when the device cannot be painted on or there is no card.
bool paintTableCards(QPagedPaintDevice &device, const QList<TableCard> &cards);

// Writes the cards as a PDF file; false when the file cannot be written.
bool writeTableCardsPdf(const QString &path, const QList<TableCard> &cards);

} // namespace vorlan
