#pragma once

#include "receipt/receiptsnapshot.h"

#include "core/paths.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QGroupBox;
class QScrollBar;

namespace vorlan {

class DataStore;

// 打印预览: a narrow window docked to the right of the main window showing the receipt of
// the order being composed at screen scale. The receipt is drawn on an off-screen canvas
// (画板2, 5000 pixels tall); the visible panel 画板1 shows the part the scroll bar selects.
class PreviewWindow final : public QWidget
{
    Q_OBJECT
public:
    PreviewWindow(DataStore &store, ProgramPaths paths, std::function<ReceiptSnapshot()> snapshot, QWidget *owner);

    // Redraws the receipt from the top: widths for the paper type, profile, pictures.
    void renderPreview();
    // Places the window against the right edge of `mainWindow`, as tall as it (+ 5).
    void dockTo(QWidget *mainWindow);

    int receiptHeight() const { return m_receiptHeight; }
    const QImage &offscreenCanvas() const { return m_canvas; }
    QScrollBar *scrollBar() const { return m_scrollBar; }
    QWidget *visibleCanvas() const { return m_visible; }
    QGroupBox *frame() const { return m_frame; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutHeights();
    void applyGeometry(int canvasWidth, int scrollBarLeft, int frameWidth, int windowWidth);

    DataStore &m_store;
    ProgramPaths m_paths;
    std::function<ReceiptSnapshot()> m_snapshot;
    QWidget *m_owner;
    QGroupBox *m_frame = nullptr;
    QWidget *m_visible = nullptr;
    QScrollBar *m_scrollBar = nullptr;
    QImage m_canvas;
    int m_receiptHeight = 0;
    bool m_docking = false;
};

} // namespace vorlan
