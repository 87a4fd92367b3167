#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace vorlan {

enum class PromptIcon { None, Information, Warning, Question, Critical };

enum class InputKind { Text, Integer, Decimal };

// The button of a question that Enter (or Space) chooses before the operator picks one.
enum class PromptDefault { Yes, No };

// Every message box, question, input box and file dialog of the program goes through one
// Prompter, so that tests can script the operator's answers.
class Prompter
{
public:
    virtual ~Prompter() = default;

    // An empty caption shows "信息：".
    virtual void message(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text) = 0;
    // Yes/No question; true for Yes. Where answering Yes by reflex would overwrite or
    // remove data the operator did not mean to touch, the default is No.
    virtual bool ask(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text,
                     PromptDefault defaultButton) = 0;
    // Input box; nullopt when the operator cancels.
    virtual std::optional<QString> input(QWidget *owner, const QString &caption, const QString &prompt,
                                         const QString &initial, InputKind kind) = 0;
    // File dialogs; an empty text when cancelled.
    virtual QString openFile(QWidget *owner, const QString &caption, const QString &folder,
                             const QString &filter) = 0;
    virtual QString saveFile(QWidget *owner, const QString &caption, const QString &suggestedPath,
                             const QString &filter) = 0;

    void info(QWidget *owner, const QString &text) { message(owner, PromptIcon::Information, QStringLiteral("提示"), text); }
};

inline QString defaultCaption(const QString &caption) { return caption.isEmpty() ? QStringLiteral("信息：") : caption; }

} // namespace vorlan
