#include "receiptlayout.h"

#include "core/gbk.h"
#include "core/numbers.h"

#include <QImage>

#include <cmath>
#include <limits>
#include <vector>

namespace vorlan {

namespace {

const int kLineGap = 6;
const int kSeparatorPoints = 9;
const int kExtraLinePoints = 9;
// A fill repeated more often than this could never fit on a receipt.
const int kMaxRepeat = 4096;

int truncated(double value)
{
    if (!std::isfinite(value))
        return 0;
    const double t = std::trunc(value);
    if (t >= std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (t <= std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(t);
}

QString repeated(const QString &text, int n)
{
    if (n <= 0 || text.isEmpty())
        return QString();
    return text.repeated(std::min(n, kMaxRepeat));
}

bool isZeroText(const QString &text) { return std::fabs(parseNumber(text)) <= 0.0000001; }

const QString kCrLf = QStringLiteral("\r\n");

// One character of the text being wrapped, with the columns its GBK form takes.
struct Glyph {
    qsizetype start; // index into the QString
    qsizetype length; // 1, or 2 for a surrogate pair
    int columns;
    bool wide() const { return columns >= 2; }
};

bool isOneOf(const QString &text, qsizetype start, qsizetype length, const char16_t *marks)
{
    if (length != 1)
        return false;
    const char16_t c = text.at(start).unicode();
    for (const char16_t *m = marks; *m; ++m)
        if (*m == c)
            return true;
    return false;
}

const char16_t kNoLineEnd[] = u"《（“〈‘";
const char16_t kNoLineStart[] = u"》）”〉，。？：’；、";

} // namespace

QString receiptTitleText(const ReceiptSnapshot &order)
{
    QString title = QStringLiteral(" #") + order.orderNumber + QStringLiteral(" ");
    if (!order.header.isEmpty())
        title += order.header + QStringLiteral(" ");
    return title;
}

QString wrapReceiptText(const QString &text, int columns)
{
    // A limit below one column would never let a line take a character.
    const int cols = std::max(columns, 1);

    std::vector<Glyph> glyphs;
    glyphs.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = (text.at(i).isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        glyphs.push_back({i, length, gbk::byteWidth(text.mid(i, length))});
        i += length;
    }
    std::vector<int> restColumns(glyphs.size() + 1, 0); // columns from glyph k to the end
    for (qsizetype k = qsizetype(glyphs.size()) - 1; k >= 0; --k)
        restColumns[k] = restColumns[k + 1] + glyphs[k].columns;

    auto isCrLf = [&](size_t k) {
        return k + 1 < glyphs.size() && text.at(glyphs[k].start) == u'\r' && text.at(glyphs[k + 1].start) == u'\n';
    };

    QString out;
    size_t rest = 0;
    for (;;) {
        if (restColumns[rest] <= cols) {
            out += text.mid(rest < glyphs.size() ? glyphs[rest].start : text.size());
            return out;
        }

        // Scan as far as the limit allows. p counts columns, k the glyphs taken.
        int p = 0;
        size_t k = rest;
        int wordStart = 0;
        size_t wordStartGlyph = rest;
        bool inWord = false;
        bool explicitBreak = false;
        while (p < cols && k < glyphs.size()) {
            const Glyph &g = glyphs[k];
            if (g.wide()) {
                wordStart = 0;
                inWord = false;
                if (p + g.columns > cols)
                    break; // does not fit on this line
                p += g.columns;
                ++k;
            } else if (text.at(g.start) == u' ') {
                ++p;
                ++k;
                wordStart = 0;
                inWord = false;
            } else if (isCrLf(k)) {
                p += 2;
                k += 2;
                explicitBreak = true;
                break;
            } else {
                if (!inWord) {
                    wordStart = p;
                    wordStartGlyph = k;
                    inWord = true;
                }
                ++p;
                ++k;
            }
        }

        // An explicit break always ends the line right after its CR LF, so the pair is
        // never torn apart.
        if (!explicitBreak) {
            if (p >= cols) {
                const bool wideAfterLimit = k < glyphs.size() && glyphs[k].wide();
                if (wordStart != 0 && !wideAfterLimit) {
                    p = wordStart;
                    k = wordStartGlyph;
                }
            }
            if (k > rest && isOneOf(text, glyphs[k - 1].start, glyphs[k - 1].length, kNoLineEnd)) {
                p -= glyphs[k - 1].columns;
                --k;
            } else if (k < glyphs.size() && k > rest
                       && isOneOf(text, glyphs[k].start, glyphs[k].length, kNoLineStart)) {
                p -= glyphs[k - 1].columns;
                --k;
            }
        }
        // Every line takes at least one character (a CR LF pair counts as one).
        if (k <= rest)
            k = rest + (isCrLf(rest) ? 2 : 1);

        const qsizetype from = glyphs[rest].start;
        const qsizetype to = k < glyphs.size() ? glyphs[k].start : text.size();
        const QString line = text.mid(from, to - from);
        out += line;
        if (!line.endsWith(kCrLf) && k < glyphs.size())
            out += kCrLf;
        rest = k;
    }
}

void drawCenteredLine(ReceiptCanvas &canvas, int width, int &y, const QString &text, const QString &fill, int size,
                      bool bold)
{
    canvas.setFont(size, bold);
    const int w = width - 10;
    const int tw = canvas.textWidth(text);
    const int fw = canvas.textWidth(fill);
    const int n = fw > 0 ? truncated(double(w - tw) / fw / 2) : 0;
    const QString runs = repeated(fill, n);
    if (!runs.isEmpty())
        canvas.drawText(0, y, runs);
    canvas.drawText(truncated(double(w - tw) / 2), y, text);
    if (!runs.isEmpty())
        canvas.drawText(w - canvas.textWidth(runs), y, runs);
    y = truncated(double(y) + canvas.textHeight(text + QStringLiteral("1")) + kLineGap);
}

void drawWrappedText(ReceiptCanvas &canvas, int width, int &y, const QString &text, int size, bool bold,
                     const QString &fill)
{
    canvas.setFont(size, bold);
    const int dw = canvas.textWidth(QStringLiteral("d"));
    const int columns = dw > 0 ? truncated(double(width) / dw) : width;
    const QStringList lines = splitPieces(wrapReceiptText(text, columns), kCrLf);
    if (lines.isEmpty())
        return;
    if (lines.size() == 1 && !fill.isEmpty()) {
        drawCenteredLine(canvas, width, y, lines.first(), fill, size, bold);
        return;
    }
    const int lh = canvas.textHeight(lines.first());
    for (const QString &line : lines) {
        canvas.drawText(0, y, line);
        y = truncated(double(y) + lh + kLineGap);
    }
}

void drawSeparator(ReceiptCanvas &canvas, int width, int &y)
{
    canvas.setFont(kSeparatorPoints, false);
    const QString dash = QStringLiteral("-");
    const int dw = canvas.textWidth(dash);
    int n = 0;
    int x = 0;
    if (dw > 0) {
        if (canvas.separatorStyle() == SeparatorStyle::Preview) {
            n = truncated(double(width - 5) / dw);
        } else {
            n = truncated(double(width) / dw);
            x = truncated(double(dw) / 3);
        }
    }
    const QString line = repeated(dash, n);
    if (!line.isEmpty())
        canvas.drawText(x, y, line);
    y = truncated(double(y) + canvas.textHeight(line + QStringLiteral("1")) + kLineGap);
}

void drawThreeColumnRow(ReceiptCanvas &canvas, int width, int &y, const QString &c1, const QString &c2,
                        const QString &c3, int size, bool bold)
{
    canvas.setFont(size, bold);
    const int w = width - 10;
    const int q = truncated(double(w) / 4);
    canvas.drawText(0, y, c1);
    const int h = canvas.textHeight(c1);
    if (canvas.textWidth(c1) > 2 * q)
        y = truncated(double(y) + h + kLineGap);
    canvas.drawText(3 * q - canvas.textWidth(c2), y, c2);
    canvas.drawText(w - canvas.textWidth(c3), y, c3);
    y = truncated(double(y) + h + kLineGap);
}

void drawRightAlignedLine(ReceiptCanvas &canvas, int width, int &y, const QString &text, int size, bool bold)
{
    canvas.setFont(size, bold);
    const int w = width - 10;
    canvas.drawText(w - canvas.textWidth(text), y, text);
    y = truncated(double(y) + canvas.textHeight(text) + kLineGap);
}

void drawPicture(ReceiptCanvas &canvas, int width, int &y, const QImage *picture)
{
    if (!picture || picture->isNull())
        return;
    const int pw = canvas.pictureWidth(*picture);
    const int ph = canvas.pictureHeight(*picture);
    if (pw <= 0 || ph <= 0)
        return;
    const double s = double(width) / pw;
    const int w = truncated(pw * s);
    const int h = truncated(ph * s);
    const int x = w < width ? truncated(double(width - w) / 2) : 0;
    canvas.drawPicture(*picture, x, y, w, h);
    y = truncated(double(y) + h);
}

void renderReceiptBody(ReceiptCanvas &canvas, const ReceiptProfile &profile, int width, const QString &title,
                       const ReceiptSnapshot &order, int &y)
{
    const auto &f = profile.fonts;
    const QString none = QStringLiteral("无");

    drawCenteredLine(canvas, width, y, title, QStringLiteral("*"), f[SlotTitle].size, f[SlotTitle].bold);
    drawCenteredLine(canvas, width, y, order.shopName, QStringLiteral(" "), f[SlotShopName].size, f[SlotShopName].bold);
    for (int i : {int(SwitchExtra1), int(SwitchExtra2)}) {
        if (profile.switches[i].on)
            drawWrappedText(canvas, width, y, profile.switches[i].text, kExtraLinePoints, f[SlotShopName].bold,
                            QStringLiteral(" "));
    }

    if (order.paymentMethod.trimmed().isEmpty() || order.paymentMethod == none)
        drawSeparator(canvas, width, y);
    else
        drawCenteredLine(canvas, width, y, order.paymentMethod, QStringLiteral("-"), f[SlotPayment].size,
                         f[SlotPayment].bold);

    drawWrappedText(canvas, width, y, QStringLiteral("[下单时间] ") + order.orderTime, f[SlotOrderTime].size,
                    f[SlotOrderTime].bold, QString());
    drawSeparator(canvas, width, y);
    drawThreeColumnRow(canvas, width, y, QStringLiteral("品名"), QStringLiteral("数量"), QStringLiteral("小计"),
                       f[SlotTableTitle].size, f[SlotTableTitle].bold);
    drawSeparator(canvas, width, y);
    for (const ReceiptLine &line : order.lines) {
        if (line.name.isEmpty())
            continue;
        drawThreeColumnRow(canvas, width, y, line.name, line.quantity + line.unit, line.amount,
                           f[SlotTableContent].size, f[SlotTableContent].bold);
    }

    // Discount block: shown only for a named discount with an amount.
    const QString portions = isZeroText(order.discountPortions) ? QString() : order.discountPortions + QStringLiteral("份");
    const QString amount = isZeroText(order.discountAmount) ? QString() : order.discountAmount;
    if (order.discountName.isEmpty() || amount.isEmpty() || amount == none) {
        drawSeparator(canvas, width, y);
    } else {
        drawCenteredLine(canvas, width, y, QStringLiteral("折扣 减免"), QStringLiteral("-"), f[SlotDiscountTitle].size,
                         f[SlotDiscountTitle].bold);
        drawThreeColumnRow(canvas, width, y, order.discountName, portions, amount, f[SlotDiscountContent].size,
                           f[SlotDiscountContent].bold);
        drawSeparator(canvas, width, y);
    }

    drawRightAlignedLine(canvas, width, y, QStringLiteral("合计 ￥") + order.total, f[SlotTotal].size, f[SlotTotal].bold);
    drawSeparator(canvas, width, y);
    if (f[SlotPaid].size > 0 && !isZeroText(order.paid)) {
        drawRightAlignedLine(canvas, width, y, QStringLiteral("已支付 ￥") + order.paid, f[SlotPaid].size, f[SlotPaid].bold);
        drawSeparator(canvas, width, y);
    }

    const FontSlot &info = f[SlotDelivery];
    drawWrappedText(canvas, width, y, order.table, info.size, info.bold, QString());
    const QString name = order.customerName.trimmed();
    const QString phone = order.phone.trimmed();
    drawWrappedText(canvas, width, y, name.isEmpty() ? phone : name + QStringLiteral("  ") + phone, info.size,
                    info.bold, QString());
    drawWrappedText(canvas, width, y, order.address, info.size, info.bold, QString());
    if (!order.remark.isEmpty())
        drawWrappedText(canvas, width, y, QStringLiteral(" \r\n") + order.remark, info.size, info.bold, QString());

    drawCenteredLine(canvas, width, y, QStringLiteral("     "), QStringLiteral(" "), f[SlotShopName].size,
                     f[SlotShopName].bold);
    drawCenteredLine(canvas, width, y, title, QStringLiteral("*"), f[SlotTitle].size, f[SlotTitle].bold);
}

int renderReceipt(ReceiptCanvas &canvas, const ReceiptProfile &profile, int width, const ReceiptSnapshot &order,
                  const QImage *topPicture, const QImage *bottomPicture)
{
    int y = 0;
    if (profile.switches[SwitchTopPicture].on)
        drawPicture(canvas, width, y, topPicture);
    renderReceiptBody(canvas, profile, width, receiptTitleText(order), order, y);
    if (profile.switches[SwitchBottomPicture].on)
        drawPicture(canvas, width, y, bottomPicture);
    return y;
}

} // namespace vorlan
