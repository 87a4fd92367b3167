#pragma once

#include "receipt/printbackend.h"
#include "receipt/receiptcanvas.h"

#include <QList>
#include <QSize>

namespace vorlan {

// A canvas with fixed metrics that records what is drawn: every byte of a text's GBK form
// is size / 3 wide (9 points: 3, 12 points: 4) and a line is size + 3 high; pictures
// measure their pixels.
class RecordingCanvas final : public ReceiptCanvas
{
public:
    struct Op {
        enum Kind { Text, Picture } kind = Text;
        int x = 0;
        int y = 0;
        QString text;
        int size = 0;
        bool bold = false;
        QSize pictureSize; // natural size of a drawn picture
        int w = 0;
        int h = 0;
    };

    explicit RecordingCanvas(SeparatorStyle style = SeparatorStyle::Preview) : m_style(style) {}

    static int byteWidth(int size) { return size / 3; }
    static int lineHeight(int size) { return size + 3; }

    void setFont(int points, bool bold) override;
    int textWidth(const QString &text) override;
    int textHeight(const QString &text) override;
    void drawText(int x, int y, const QString &text) override;
    int pictureWidth(const QImage &picture) override { return picture.width(); }
    int pictureHeight(const QImage &picture) override { return picture.height(); }
    void drawPicture(const QImage &picture, int x, int y, int w, int h) override;
    SeparatorStyle separatorStyle() const override { return m_style; }

    QList<Op> ops;
    QStringList texts() const;
    QList<Op> pictures() const;

private:
    SeparatorStyle m_style;
    int m_size = 9;
    bool m_bold = false;
};

// Records print jobs instead of printing them. `cancelDialog` makes the first job fail as
// when the operator cancels the print dialog; `failJob` makes the job of that index fail.
class RecordingBackend final : public PrintBackend
{
public:
    struct Job {
        bool firstCopy = false;
        int paperWidth = 0;
        int layoutWidth = 0;
        int length = 0;
        RecordingCanvas canvas{SeparatorStyle::Printer};
        bool ended = false;
    };

    bool cancelDialog = false;
    int failJob = -1;
    int attempts = 0;
    QList<Job> jobs;

    ReceiptCanvas *beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length) override;
    bool endJob() override;
    std::unique_ptr<ReceiptCanvas> measuringCanvas() override;
};

} // namespace vorlan
