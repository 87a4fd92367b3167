#pragma once

#include "prompter.h"

#include <QStringList>

namespace vorlan {

// A Prompter for benchmarks and tools that run without an operator: it never opens a
// window. Every message and question is written to the error output (and kept in
// `reported`); questions are answered No, input boxes and file dialogs are cancelled.
class ReportingPrompter final : public Prompter
{
public:
    QStringList reported;

    void message(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text) override;
    bool ask(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text,
             PromptDefault defaultButton) override;
    std::optional<QString> input(QWidget *owner, const QString &caption, const QString &prompt,
                                 const QString &initial, InputKind kind) override;
    QString openFile(QWidget *owner, const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFile(QWidget *owner, const QString &caption, const QString &suggestedPath,
                     const QString &filter) override;

private:
    void report(const QString &kind, const QString &caption, const QString &text);
};

} // namespace vorlan
