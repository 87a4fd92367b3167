#pragma once

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

namespace vorlan {

// A progress dialog for long work done on the GUI thread in steps: the work calls it
// between steps with what is done and what there is in all. It shows itself only when the
// work lasts, and answers false from the moment the operator cancels or closes it.
class WorkProgress
{
public:
    WorkProgress(QWidget *parent, const QString &label, const QString &objectName);
    ~WorkProgress();
    WorkProgress(const WorkProgress &) = delete;
    WorkProgress &operator=(const WorkProgress &) = delete;

    bool operator()(qint64 done, qint64 total);
    bool cancelled() const;
    QProgressDialog *dialog() const { return m_dialog.get(); }

private:
    std::unique_ptr<QProgressDialog> m_dialog;
};

} // namespace vorlan
