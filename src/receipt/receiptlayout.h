#pragma once

#include "receiptcanvas.h"
#include "receiptprofile.h"
#include "receiptsnapshot.h"

class QImage;

namespace vorlan {

// " #12 微信点餐 ": the order number and, when there is one, the receipt header.
QString receiptTitleText(const ReceiptSnapshot &order);

// Breaks a text into receipt lines of at most `columns` byte columns (a Chinese character
// takes two and is never split). ASCII words crossing the limit move to the next line,
// opening brackets never end a line and closing punctuation never starts one. Lines are
// joined by CR LF; an explicit CR LF in the text ends its line.
QString wrapReceiptText(const QString &text, int columns);

// Draws the whole receipt from y = 0 and returns the final y. A null picture pointer (or a
// picture that failed to load) is left out without taking space.
int renderReceipt(ReceiptCanvas &canvas, const ReceiptProfile &profile, int width, const ReceiptSnapshot &order,
                  const QImage *topPicture, const QImage *bottomPicture);

// From the title line down to the closing title line; y is left below the last line.
void renderReceiptBody(ReceiptCanvas &canvas, const ReceiptProfile &profile, int width, const QString &title,
                       const ReceiptSnapshot &order, int &y);

// The drawing primitives; each sets its font, draws one element and moves y below it.
void drawCenteredLine(ReceiptCanvas &canvas, int width, int &y, const QString &text, const QString &fill, int size,
                      bool bold);
void drawWrappedText(ReceiptCanvas &canvas, int width, int &y, const QString &text, int size, bool bold,
                     const QString &fill);
void drawSeparator(ReceiptCanvas &canvas, int width, int &y);
void drawThreeColumnRow(ReceiptCanvas &canvas, int width, int &y, const QString &c1, const QString &c2,
                        const QString &c3, int size, bool bold);
void drawRightAlignedLine(ReceiptCanvas &canvas, int width, int &y, const QString &text, int size, bool bold);
void drawPicture(ReceiptCanvas &canvas, int width, int &y, const QImage *picture);

} // namespace vorlan
