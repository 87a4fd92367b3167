#pragma once

#include "receipt/escpossettings.h"
#include "receipt/receiptcanvas.h"
#include "receipt/receiptprofile.h"
#include "receipt/receiptsnapshot.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>

#include <memory>
#include <optional>

class QPainter;

namespace vorlan {

// Thermal heads print at 203 dots per inch (kNarrowDotWidth and kWideDotWidth across
// 58 and 80 mm paper).
constexpr double kDotsPerInch = 203.0;

// A ReceiptCanvas whose unit is one printer dot. Text is drawn without antialiasing, so
// every glyph is already black or white; pictures are dithered to black and white at the
// size they are drawn. Without a target image the canvas only measures, with exactly the
// metrics it draws with.
class DotReceiptCanvas final : public ReceiptCanvas
{
public:
    explicit DotReceiptCanvas(QImage *target = nullptr);
    ~DotReceiptCanvas() override;

    void setFont(int points, bool bold) override;
    int textWidth(const QString &text) override;
    int textHeight(const QString &text) override;
    void drawText(int x, int y, const QString &text) override;
    int pictureWidth(const QImage &picture) override;
    int pictureHeight(const QImage &picture) override;
    void drawPicture(const QImage &picture, int x, int y, int w, int h) override;
    SeparatorStyle separatorStyle() const override { return SeparatorStyle::Printer; }

private:
    std::unique_ptr<QPainter> m_painter;
    QFont m_font;
    std::optional<QFontMetrics> m_metrics;
};

// A white page `width` dots wide and `height` rows long to draw a receipt on
// (Format_Grayscale8).
QImage blankDotPage(int width, int height);

// The picture scaled to w × h, laid on white (transparent parts print nothing), its
// darkest and lightest tones clipped to black and white, and dithered with
// Floyd–Steinberg error diffusion: black pixels are 0xff000000, white ones
// 0xffffffff.
QImage ditheredPicture(const QImage &picture, int w, int h);

// The page as the print head sees it: Format_Mono, most significant bit first, colour
// index 1 (a set bit) black. Pixels darker than middle grey print.
QImage monoBitmap(const QImage &page);

// One copy of the receipt at `dotWidth`, as it is printed on a thermal printer: the
// layout of the preview, on dots, with the pictures that are switched on and given
// (pass none for the further copies, which carry no pictures).
QImage renderReceiptBitmap(const ReceiptProfile &profile, const ReceiptSnapshot &order, int dotWidth,
                           const QImage *topPicture, const QImage *bottomPicture);

} // namespace vorlan
