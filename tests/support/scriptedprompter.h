#pragma once

#include "core/prompter.h"

#include <QList>
#include <QQueue>
#include <QStringList>

#include <optional>

namespace vorlan {

// A Prompter for tests: records every prompt and answers from queues. An unexpected
// question answers No, an unexpected input box is cancelled, so a test never blocks.
class ScriptedPrompter final : public Prompter
{
public:
    struct Shown {
        QString kind; // "message", "ask", "input", "open", "save"
        PromptIcon icon = PromptIcon::None;
        QString caption;
        QString text;
        QString initial;
        InputKind inputKind = InputKind::Text;
        PromptDefault defaultButton = PromptDefault::Yes; // of a question
    };

    QList<Shown> shown;
    QQueue<bool> answers;
    QQueue<std::optional<QString>> inputs;
    QQueue<QString> files;

    void message(QWidget *, PromptIcon icon, const QString &caption, const QString &text) override;
    bool ask(QWidget *, PromptIcon icon, const QString &caption, const QString &text,
             PromptDefault defaultButton) override;
    std::optional<QString> input(QWidget *, const QString &caption, const QString &prompt, const QString &initial,
                                 InputKind kind) override;
    QString openFile(QWidget *, const QString &caption, const QString &folder, const QString &filter) override;
    QString saveFile(QWidget *, const QString &caption, const QString &suggestedPath, const QString &filter) override;

    QStringList texts() const;
    void clear() { shown.clear(); }
};

} // namespace vorlan
