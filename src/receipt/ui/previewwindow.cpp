#include "previewwindow.h"

#include "receipt/previewrender.h"

#include <QEvent>
#include <QGroupBox>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace vorlan {

namespace {

// 画板1: shows the rows of the off-screen canvas from the scroll position down.
class VisibleCanvas final : public QWidget
{
public:
    VisibleCanvas(const QImage &canvas, const QScrollBar *scrollBar, QWidget *parent)
        : QWidget(parent), m_canvas(canvas), m_scrollBar(scrollBar)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const int top = m_scrollBar->value();
        painter.drawImage(QPoint(0, 0), m_canvas, QRect(0, top, width(), height()));
    }

private:
    const QImage &m_canvas;
    const QScrollBar *m_scrollBar;
};

} // namespace

PreviewWindow::PreviewWindow(DataStore &store, ProgramPaths paths, std::function<ReceiptSnapshot()> snapshot,
                             QWidget *owner)
    : QWidget(owner, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_store(store)
    , m_paths(std::move(paths))
    , m_snapshot(std::move(snapshot))
    , m_owner(owner)
{
    setObjectName(QStringLiteral("PreviewWindow"));
    setWindowTitle(QStringLiteral("打印预览"));

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("分组框1"));
    m_scrollBar = new QScrollBar(Qt::Vertical, m_frame);
    m_scrollBar->setObjectName(QStringLiteral("纵向滚动条1"));
    m_scrollBar->setRange(0, 0);
    m_scrollBar->setSingleStep(20);
    m_visible = new VisibleCanvas(m_canvas, m_scrollBar, m_frame);
    m_visible->setObjectName(QStringLiteral("画板1"));
    connect(m_scrollBar, &QScrollBar::valueChanged, m_visible, qOverload<>(&QWidget::update));

    const PreviewGeometry g = previewGeometry(m_store);
    applyGeometry(g.canvasWidth, g.scrollBarLeft, g.frameWidth, g.windowWidth);
    resize(g.windowWidth, 742);
    if (m_owner) {
        // The owner's frame is known only once it is shown or resized by the window manager.
        m_owner->installEventFilter(this);
        dockTo(m_owner);
    }
    layoutHeights();
    renderPreview();
}

void PreviewWindow::applyGeometry(int canvasWidth, int scrollBarLeft, int frameWidth, int windowWidth)
{
    setFixedWidth(windowWidth);
    m_frame->setGeometry((windowWidth - frameWidth) / 2, 6, frameWidth, m_frame->height());
    m_visible->setGeometry(2, 7, canvasWidth, m_visible->height());
    m_scrollBar->setGeometry(scrollBarLeft, 7, frameWidth - scrollBarLeft - 2, m_scrollBar->height());
}

void PreviewWindow::layoutHeights()
{
    const int frameHeight = std::max(height() - 33, 20);
    m_frame->resize(m_frame->width(), frameHeight);
    m_visible->resize(m_visible->width(), frameHeight - 10);
    m_scrollBar->resize(m_scrollBar->width(), frameHeight - 10);
}

void PreviewWindow::renderPreview()
{
    m_scrollBar->setValue(0);
    layoutHeights();
    const PreviewGeometry g = previewGeometry(m_store);
    applyGeometry(g.canvasWidth, g.scrollBarLeft, g.frameWidth, g.windowWidth);
    m_receiptHeight = renderPreviewImage(m_canvas, m_store, m_paths, m_snapshot ? m_snapshot() : ReceiptSnapshot{},
                                         g.canvasWidth);
    m_scrollBar->setRange(0, previewScrollMaximum(m_receiptHeight, m_frame->height() - 10));
    m_scrollBar->setPageStep(std::max(m_frame->height() - 10, 1));
    m_visible->update();
}

void PreviewWindow::dockTo(QWidget *mainWindow)
{
    const QRect main = mainWindow->frameGeometry();
    const QPoint target(main.x() + main.width(), main.y());
    m_docking = true;
    if (pos() != target)
        move(target);
    const int h = mainWindow->height() + 5;
    if (height() != h)
        resize(width(), h);
    m_docking = false;
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_owner && isVisible() && (event->type() == QEvent::Show || event->type() == QEvent::Resize)) {
        // The frame is final once the platform window exists, after this event.
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                dockTo(m_owner);
        });
    }
    return QWidget::eventFilter(watched, event);
}

void PreviewWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // Moved by the operator: the main window follows, so the two stay side by side.
    if (m_docking || !m_owner || !isVisible())
        return;
    const QPoint target(frameGeometry().x() - m_owner->frameGeometry().width(), frameGeometry().y());
    if (m_owner->pos() != target)
        m_owner->move(target);
}

void PreviewWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutHeights();
    m_scrollBar->setRange(0, previewScrollMaximum(m_receiptHeight, m_frame->height() - 10));
}

} // namespace vorlan
