#pragma once

#include <QImage>
#include <QString>

namespace vorlan {

// Separators on screen stop short of the right edge; on paper they span the roll and
// start a third of a dash in.
enum class SeparatorStyle { Preview, Printer };

// The surface the receipt is laid out on, in the surface's own units. Implemented over
// QPainter for the preview and the printer, and with fixed metrics in the tests.
class ReceiptCanvas
{
public:
    virtual ~ReceiptCanvas() = default;

    virtual void setFont(int points, bool bold) = 0;
    // Extent of the text in the current font; an empty text measures 0.
    virtual int textWidth(const QString &text) = 0;
    virtual int textHeight(const QString &text) = 0;
    // Draws the text with its top-left corner at (x, y).
    virtual void drawText(int x, int y, const QString &text) = 0;

    // Natural size of a picture in surface units; a null picture measures 0.
    virtual int pictureWidth(const QImage &picture) = 0;
    virtual int pictureHeight(const QImage &picture) = 0;
    virtual void drawPicture(const QImage &picture, int x, int y, int w, int h) = 0;

    virtual SeparatorStyle separatorStyle() const = 0;
};

} // namespace vorlan
