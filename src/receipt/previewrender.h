#pragma once

#include "receiptsnapshot.h"

#include <QImage>

namespace vorlan {

class DataStore;
struct ProgramPaths;

// Sizes of the preview for one paper type (小票类型 0: 58 mm, else 80 mm), in pixels.
struct PreviewGeometry {
    int canvasWidth;    // the receipt is laid out this wide
    int scrollBarLeft;  // inside the frame
    int frameWidth;
    int windowWidth;
};
PreviewGeometry previewGeometry(DataStore &store);

// The tallest receipt the preview shows; anything below is cut off on screen only.
constexpr int kPreviewCanvasHeight = 5000;

// Lays the receipt out on `canvas` (cleared to white and resized to width ×
// kPreviewCanvasHeight when needed) at screen scale. Switched-on pictures whose files are
// missing are created from the built-in ones first; a picture that cannot be written or
// read is left out. Returns the receipt's height.
int renderPreviewImage(QImage &canvas, DataStore &store, const ProgramPaths &paths, const ReceiptSnapshot &order,
                       int width);

// The scroll range that brings the receipt's last line to the bottom of a visible area
// `visibleHeight` high.
inline int previewScrollMaximum(int receiptHeight, int visibleHeight)
{
    return receiptHeight - visibleHeight > 0 ? receiptHeight - visibleHeight : 0;
}

} // namespace vorlan
