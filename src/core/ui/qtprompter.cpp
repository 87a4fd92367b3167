#include "qtprompter.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QRegularExpressionValidator>

namespace vorlan {

namespace {
QMessageBox::Icon toQt(PromptIcon icon)
{
    switch (icon) {
    case PromptIcon::Information: return QMessageBox::Information;
    case PromptIcon::Warning: return QMessageBox::Warning;
    case PromptIcon::Question: return QMessageBox::Question;
    case PromptIcon::Critical: return QMessageBox::Critical;
    case PromptIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void QtPrompter::message(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text)
{
    QMessageBox box(toQt(icon), defaultCaption(caption), text, QMessageBox::Ok, owner);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

bool QtPrompter::ask(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text,
                     PromptDefault defaultButton)
{
    QMessageBox box(toQt(icon), defaultCaption(caption), text, QMessageBox::Yes | QMessageBox::No, owner);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    box.setDefaultButton(defaultButton == PromptDefault::No ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPrompter::input(QWidget *owner, const QString &caption, const QString &prompt,
                                         const QString &initial, InputKind kind)
{
    QInputDialog dialog(owner);
    dialog.setWindowTitle(defaultCaption(caption));
    dialog.setLabelText(prompt);
    dialog.setTextValue(initial);
    dialog.setOkButtonText(QStringLiteral("确定"));
    dialog.setCancelButtonText(QStringLiteral("取消"));
    if (kind != InputKind::Text) {
        if (auto *edit = dialog.findChild<QLineEdit *>()) {
            const QString pattern = kind == InputKind::Integer ? QStringLiteral("-?[0-9０-９]*")
                                                               : QStringLiteral("-?[0-9０-９]*[.．]?[0-9０-９]*");
            edit->setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), edit));
            edit->selectAll();
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtPrompter::openFile(QWidget *owner, const QString &caption, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner, caption, folder, filter);
}

QString QtPrompter::saveFile(QWidget *owner, const QString &caption, const QString &suggestedPath,
                             const QString &filter)
{
    return QFileDialog::getSaveFileName(owner, caption, suggestedPath, filter);
}

} // namespace vorlan
