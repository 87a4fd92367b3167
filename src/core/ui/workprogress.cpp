#include "workprogress.h"

#include <QProgressDialog>

namespace vorlan {

namespace {
constexpr int kScale = 1000;
}

WorkProgress::WorkProgress(QWidget *parent, const QString &label, const QString &objectName)
    : m_dialog(std::make_unique<QProgressDialog>(label, QStringLiteral("取消"), 0, kScale, parent))
{
    m_dialog->setObjectName(objectName);
    m_dialog->setWindowTitle(QStringLiteral("提示"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setAutoReset(false);
    m_dialog->setAutoClose(false);
    m_dialog->setValue(0);
}

WorkProgress::~WorkProgress() = default;

bool WorkProgress::operator()(qint64 done, qint64 total)
{
    // A window-modal dialog handles the pending events in setValue, the cancel button and
    // the close button among them.
    const int value = total > 0 ? int(std::min<qint64>(done, total) * kScale / total) : 0;
    m_dialog->setValue(std::min(value, kScale - 1));
    return !m_dialog->wasCanceled();
}

bool WorkProgress::cancelled() const { return m_dialog->wasCanceled(); }

} // namespace vorlan
