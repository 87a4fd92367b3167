#pragma once

#include "escposencoder.h"
#include "escposlink.h"
#include "receipt/printbackend.h"

#include <QImage>

class QWidget;

namespace vorlan {

class DotReceiptCanvas;
class Prompter;

// Prints straight to an ESC/POS thermal printer: each copy is laid out in printer dots
// at the printer's dot width, turned into black and white and sent as raster bands
// with a cut, off the GUI thread. A copy that does not reach the printer is told to the
// operator (which copy, and why) and ends the print run.
class EscPosBackend final : public PrintBackend
{
public:
    EscPosBackend(EscPosTarget target, int dotWidth, EscPosEncoding encoding, Prompter *prompter, QWidget *owner);
    ~EscPosBackend() override;

    int layoutWidth(int configuredWidth) override;
    ReceiptCanvas *beginJob(bool firstCopy, int paperWidth, int layoutWidth, int length) override;
    bool endJob() override;
    std::unique_ptr<ReceiptCanvas> measuringCanvas() override;

    // The last failure told to the operator (empty when every copy went out).
    QString lastMessage() const { return m_lastMessage; }
    // Copies that reached the printer in the current print run.
    int copiesSent() const { return m_sent; }

private:
    EscPosTarget m_target;
    int m_dotWidth;
    EscPosEncoding m_encoding;
    Prompter *m_prompter;
    QWidget *m_owner;
    QImage m_page;
    std::unique_ptr<DotReceiptCanvas> m_canvas;
    int m_copy = 0;
    int m_sent = 0;
    QString m_lastMessage;
};

} // namespace vorlan
