#pragma once

// What the programs that draw the windows into pictures share: a prompter that never
// shows a box, and the saving of a widget's picture.

#include "core/reportingprompter.h"

#include <QApplication>
#include <QStringList>
#include <QTextStream>
#include <QWidget>

#include <optional>

namespace vorlan {

// Answers input boxes from `inputs`, then with `otherInputs` when set; everything else is
// printed by the reporting prompter, never shown.
class GrabPrompter final : public Prompter
{
public:
    QStringList inputs;
    std::optional<QString> otherInputs;

    void message(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text) override
    {
        m_report.message(owner, icon, caption, text);
    }
    bool ask(QWidget *owner, PromptIcon icon, const QString &caption, const QString &text,
             PromptDefault defaultButton) override
    {
        return m_report.ask(owner, icon, caption, text, defaultButton);
    }
    std::optional<QString> input(QWidget *owner, const QString &caption, const QString &prompt,
                                 const QString &initial, InputKind kind) override
    {
        if (!inputs.isEmpty())
            return inputs.takeFirst();
        if (otherInputs)
            return otherInputs;
        return m_report.input(owner, caption, prompt, initial, kind);
    }
    QString openFile(QWidget *owner, const QString &caption, const QString &folder, const QString &filter) override
    {
        return m_report.openFile(owner, caption, folder, filter);
    }
    QString saveFile(QWidget *owner, const QString &caption, const QString &path, const QString &filter) override
    {
        return m_report.saveFile(owner, caption, path, filter);
    }

private:
    ReportingPrompter m_report;
};

// Saves the widget as it is drawn now; false, told on stderr, when the file cannot be written.
inline bool saveGrab(QWidget *widget, const QString &path)
{
    QApplication::processEvents();
    if (widget->grab().save(path))
        return true;
    QTextStream(stderr) << "cannot write " << path << "\n";
    return false;
}

} // namespace vorlan
