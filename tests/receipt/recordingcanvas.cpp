#include "recordingcanvas.h"

#include "core/gbk.h"

namespace vorlan {

void RecordingCanvas::setFont(int points, bool bold)
{
    m_size = points;
    m_bold = bold;
}

int RecordingCanvas::textWidth(const QString &text) { return gbk::byteWidth(text) * byteWidth(m_size); }

int RecordingCanvas::textHeight(const QString &text) { return text.isEmpty() ? 0 : lineHeight(m_size); }

void RecordingCanvas::drawText(int x, int y, const QString &text)
{
    Op op;
    op.x = x;
    op.y = y;
    op.text = text;
    op.size = m_size;
    op.bold = m_bold;
    ops.append(op);
}

void RecordingCanvas::drawPicture(const QImage &picture, int x, int y, int w, int h)
{
    Op op;
    op.kind = Op::Picture;
    op.x = x;
    op.y = y;
    op.pictureSize = picture.size();
    op.w = w;
    op.h = h;
    ops.append(op);
}

QStringList RecordingCanvas::texts() const
{
    QStringList out;
    for (const Op &op : ops)
        if (op.kind == Op::Text)
            out.append(op.text);
    return out;
}

QList<RecordingCanvas::Op> RecordingCanvas::pictures() const
{
    QList<Op> out;
    for (const Op &op : ops)
        if (op.kind == Op::Picture)
            out.append(op);
    return out;
}

ReceiptCanvas *RecordingBackend::beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length)
{
    const int index = attempts++;
    if ((firstCopy && cancelDialog) || index == failJob)
        return nullptr;
    Job job;
    job.firstCopy = firstCopy;
    job.paperWidth = paperWidth;
    job.layoutWidth = layoutWidth;
    job.length = length;
    jobs.append(job);
    return &jobs.last().canvas;
}

bool RecordingBackend::endJob()
{
    if (jobs.isEmpty())
        return false;
    jobs.last().ended = true;
    return true;
}

std::unique_ptr<ReceiptCanvas> RecordingBackend::measuringCanvas()
{
    return std::make_unique<RecordingCanvas>(SeparatorStyle::Printer);
}

} // namespace vorlan
