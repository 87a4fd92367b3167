#pragma once

#include "receiptcanvas.h"

#include <QFont>
#include <QFontMetrics>

#include <optional>

class QPainter;

namespace vorlan {

// The face every receipt text is drawn in, on screen and on paper: it carries the GBK
// repertoire and looks the same on every machine of the shop.
QString receiptFontFamily();

// A ReceiptCanvas over QPainter. `unitsPerPoint` converts font points to the surface's
// units (96/72 for screen pixels, 254/72 for printer units of 0.1 mm) and `unitsPerPixel`
// converts picture pixels. Without a painter the canvas only measures, with exactly the
// metrics it would draw with.
class PainterReceiptCanvas final : public ReceiptCanvas
{
public:
    PainterReceiptCanvas(QPainter *painter, SeparatorStyle style, double unitsPerPoint, double unitsPerPixel);

    static PainterReceiptCanvas forScreen(QPainter *painter);
    static PainterReceiptCanvas forPrinter(QPainter *painter);

    void setFont(int points, bool bold) override;
    int textWidth(const QString &text) override;
    int textHeight(const QString &text) override;
    void drawText(int x, int y, const QString &text) override;
    int pictureWidth(const QImage &picture) override;
    int pictureHeight(const QImage &picture) override;
    void drawPicture(const QImage &picture, int x, int y, int w, int h) override;
    SeparatorStyle separatorStyle() const override { return m_style; }

private:
    QPainter *m_painter;
    SeparatorStyle m_style;
    double m_unitsPerPoint;
    double m_unitsPerPixel;
    QFont m_font;
    std::optional<QFontMetrics> m_metrics;
};

} // namespace vorlan
