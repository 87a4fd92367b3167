#include "escposbackend.h"

#include "dotcanvas.h"
#include "escposjob.h"

#include "core/prompter.h"

namespace vorlan {

EscPosBackend::EscPosBackend(EscPosTarget target, int dotWidth, EscPosEncoding encoding, Prompter *prompter,
                             QWidget *owner)
    : m_target(std::move(target))
    , m_dotWidth(dotWidth > 0 ? dotWidth : kWideDotWidth)
    , m_encoding(encoding)
    , m_prompter(prompter)
    , m_owner(owner)
{
}

EscPosBackend::~EscPosBackend() = default;

int EscPosBackend::layoutWidth(int) { return m_dotWidth; }

std::unique_ptr<ReceiptCanvas> EscPosBackend::measuringCanvas() { return std::make_unique<DotReceiptCanvas>(); }

ReceiptCanvas *EscPosBackend::beginJob(bool firstCopy, int, int, int length)
{
    if (firstCopy) {
        m_copy = 0;
        m_sent = 0;
        m_lastMessage.clear();
    }
    ++m_copy;
    m_canvas.reset();
    m_page = blankDotPage(m_dotWidth, length);
    m_canvas = std::make_unique<DotReceiptCanvas>(&m_page);
    return m_canvas.get();
}

bool EscPosBackend::endJob()
{
    if (!m_canvas)
        return false;
    m_canvas.reset(); // ends the painter
    const QByteArray payload = encodeEscPosCopy(monoBitmap(m_page), m_encoding);
    m_page = QImage();

    EscPosOutcome outcome;
    runOffGuiThread([&] { outcome = sendEscPosCopy(m_target, payload); });
    if (outcome.sent) {
        ++m_sent;
        return true;
    }
    QString text = m_copy == 1 ? QStringLiteral("小票没有打印：%1").arg(outcome.message)
                               : QStringLiteral("第 %1 份小票没有打印：%2\n前 %3 份已打印，其余各份不再打印。")
                                     .arg(m_copy)
                                     .arg(outcome.message)
                                     .arg(m_sent);
    m_lastMessage = text;
    if (m_prompter)
        m_prompter->info(m_owner, text);
    return false;
}

} // namespace vorlan
