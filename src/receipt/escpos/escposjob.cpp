#include "escposjob.h"

#include "dotcanvas.h"
#include "escposencoder.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QThread>

namespace vorlan {

namespace {

// Why the printer gets nothing, or an empty text when it can print.
QString refusal(const PrinterState &state, const EscPosLink &link)
{
    if (state.canPrint())
        return QString();
    if (!state.answered && !link.error().isEmpty())
        return link.error();
    return printerStateText(state);
}

} // namespace

EscPosOutcome sendEscPosCopy(const EscPosTarget &target, const QByteArray &payload)
{
    EscPosOutcome outcome;
    const std::unique_ptr<EscPosLink> link = makeEscPosLink(target);
    if (!link->open()) {
        outcome.message = link->error();
        return outcome;
    }
    const bool network = target.kind == EscPosTarget::Kind::Network;
    // A silent network printer is as good as absent; a device may have no way to answer
    // (a unidirectional printer, a cheap one), so a silent device still gets the copy.
    bool answers = false;
    if (link->readsBack()) {
        outcome.state = readPrinterState(*link, network ? target.statusTimeoutMs : target.deviceStatusTimeoutMs);
        answers = outcome.state.answered;
        if (network || answers) {
            outcome.message = refusal(outcome.state, *link);
            if (!outcome.message.isEmpty())
                return outcome;
        }
    }
    if (!link->write(payload) || !link->finish()) {
        outcome.message = link->error();
        return outcome;
    }
    if (answers) {
        // The printer answers in order, so a reply means every byte before it arrived.
        // It may first have to print what fills its buffer.
        const std::optional<quint8> reply = link->requestStatus(1, target.writeTimeoutMs);
        if (!reply || !isStatusByte(*reply)) {
            outcome.message = link->error().isEmpty()
                                  ? QStringLiteral("打印机无响应，无法确认小票已送到打印机。")
                                  : link->error();
            return outcome;
        }
        if (*reply & 0x08) {
            // Offline after the data: the paper ran out or the cover came open on the way.
            outcome.state = printerStateFrom(reply, link->requestStatus(2, target.statusTimeoutMs),
                                             link->requestStatus(4, target.statusTimeoutMs));
            outcome.message = printerStateText(outcome.state)
                              + QStringLiteral("（打印机收到小票后报告此状态，这份小票可能没有打印完整）");
            return outcome;
        }
    }
    outcome.sent = true;
    return outcome;
}

EscPosOutcome escPosTestPrint(const EscPosTarget &target, const QByteArray &page)
{
    EscPosOutcome outcome;
    const std::unique_ptr<EscPosLink> link = makeEscPosLink(target);
    if (!link->open()) {
        outcome.message = link->error();
        return outcome;
    }
    const bool network = target.kind == EscPosTarget::Kind::Network;
    bool known = false;
    if (link->readsBack()) {
        outcome.state = readPrinterState(*link, network ? target.statusTimeoutMs : target.deviceStatusTimeoutMs);
        known = outcome.state.answered;
        // A silent network printer is as good as absent; a device may simply have no
        // way to answer, so it still gets the page.
        if ((network || known) && !outcome.state.canPrint()) {
            outcome.message = refusal(outcome.state, *link);
            return outcome;
        }
    }
    if (!link->write(page) || !link->finish()) {
        outcome.message = link->error();
        return outcome;
    }
    if (known) {
        const PrinterState after = readPrinterState(*link, target.writeTimeoutMs);
        if (!after.answered) {
            outcome.message = link->error().isEmpty() ? QStringLiteral("打印机无响应") : link->error();
            return outcome;
        }
        outcome.state = after;
        outcome.sent = true;
        outcome.message = printerStateText(after) + QStringLiteral("\n测试页已发送到 %1。").arg(target.describe());
        return outcome;
    }
    outcome.sent = true;
    outcome.message = QStringLiteral("测试页已发送到 %1。\n这个接口不回报打印机状态，请看打印机是否出纸。")
                          .arg(target.describe());
    return outcome;
}

QImage escPosTestPageBitmap(int dotWidth, const QString &where, int density)
{
    const int width = std::max(dotWidth, 64);
    QImage page = blankDotPage(width, 360);
    int y = 0;
    {
        DotReceiptCanvas canvas(&page);
        const QStringList lines = {QStringLiteral("Vorlan 打印测试"), QStringLiteral("连接：") + where,
                                   QStringLiteral("点宽：%1 点").arg(dotWidth),
                                   QStringLiteral("浓度：%1").arg(density == 0 ? QStringLiteral("打印机默认")
                                                                                : QString::number(density))};
        y = 12;
        for (int i = 0; i < lines.size(); ++i) {
            canvas.setFont(i == 0 ? 14 : 9, i == 0);
            canvas.drawText(12, y, lines.at(i));
            y += canvas.textHeight(lines.at(i)) + 6;
        }
    }
    const int rampTop = y + 8;
    const int rampHeight = 48;
    QImage ramp(256, 1, QImage::Format_ARGB32);
    for (int i = 0; i < 256; ++i)
        ramp.setPixel(i, 0, qRgb(i, i, i));
    QPainter painter(&page);
    painter.drawImage(QPoint(12, rampTop), ditheredPicture(ramp, width - 24, rampHeight));
    // A frame on the first and last dot: both edges show when the width is right.
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width - 1, rampTop + rampHeight + 11);
    painter.end();
    return monoBitmap(page.copy(0, 0, width, rampTop + rampHeight + 12));
}

namespace {

// Eats the input the window system held back while a job ran.
class InputDropper final : public QObject
{
protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::ContextMenu:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void runOffGuiThread(const std::function<void()> &work)
{
    if (!QCoreApplication::instance()) {
        work();
        return;
    }
    QThread *thread = QThread::create(work);
    QEventLoop loop;
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    const bool cursor = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    if (cursor)
        QGuiApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    {
        // The input held back meanwhile would otherwise arrive once the caller is done.
        InputDropper dropper;
        QCoreApplication::instance()->installEventFilter(&dropper);
        QCoreApplication::processEvents();
        QCoreApplication::instance()->removeEventFilter(&dropper);
    }
    if (cursor)
        QGuiApplication::restoreOverrideCursor();
}

} // namespace vorlan
