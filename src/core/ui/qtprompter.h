#pragma once

#include "core/prompter.h"

namespace vorlan {

// The operator-facing Prompter: real message boxes, input box and file dialogs.
class QtPrompter final : public Prompter
{
public:
    void message(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text) override;
    bool ask(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text,
             PromptDefault defaultButton) override;
    std::optional<QString> input(QWidget *owner, const QString &caption, const QString &prompt,
                                 const QString &initial, InputKind kind) override;
    QString openFile(QWidget *owner, const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFile(QWidget *owner, const QString &caption, const QString &suggestedPath,
                     const QString &filter) override;
};

} // namespace vorlan
