#include "scriptedprompter.h"

namespace vorlan {

void ScriptedPrompter::message(QWidget *, PromptIcon icon, const QString &caption, const QString &text)
{
    shown.append({QStringLiteral("message"), icon, defaultCaption(caption), text, {}, InputKind::Text});
}

bool ScriptedPrompter::ask(QWidget *, PromptIcon icon, const QString &caption, const QString &text,
                           PromptDefault defaultButton)
{
    shown.append({QStringLiteral("ask"), icon, defaultCaption(caption), text, {}, InputKind::Text, defaultButton});
    return answers.isEmpty() ? false : answers.dequeue();
}

std::optional<QString> ScriptedPrompter::input(QWidget *, const QString &caption, const QString &prompt,
                                               const QString &initial, InputKind kind)
{
    shown.append({QStringLiteral("input"), PromptIcon::None, defaultCaption(caption), prompt, initial, kind});
    return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
}

QString ScriptedPrompter::openFile(QWidget *, const QString &caption, const QString &folder, const QString &)
{
    shown.append({QStringLiteral("open"), PromptIcon::None, caption, folder, {}, InputKind::Text});
    return files.isEmpty() ? QString() : files.dequeue();
}

QString ScriptedPrompter::saveFile(QWidget *, const QString &caption, const QString &suggestedPath, const QString &)
{
    shown.append({QStringLiteral("save"), PromptIcon::None, caption, suggestedPath, {}, InputKind::Text});
    return files.isEmpty() ? QString() : files.dequeue();
}

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result.append(s.text);
    return result;
}

} // namespace vorlan
