#include "reportingprompter.h"

#include <QTextStream>

namespace vorlan {

void ReportingPrompter::report(const QString &kind, const QString &caption, const QString &text)
{
    const QString line = QStringLiteral("[%1] %2: %3").arg(kind, defaultCaption(caption), text);
    reported.append(line);
    QTextStream(stderr) << line << '\n';
}

void ReportingPrompter::message(QWidget *, PromptIcon, const QString &caption, const QString &text)
{
    report(QStringLiteral("message"), caption, text);
}

bool ReportingPrompter::ask(QWidget *, PromptIcon, const QString &caption, const QString &text,
                            PromptDefault defaultButton)
{
    report(defaultButton == PromptDefault::No ? QStringLiteral("question, default No, answered No")
                                              : QStringLiteral("question, default Yes, answered No"),
           caption, text);
    return false;
}

std::optional<QString> ReportingPrompter::input(QWidget *, const QString &caption, const QString &prompt,
                                                 const QString &, InputKind)
{
    report(QStringLiteral("input, cancelled"), caption, prompt);
    return std::nullopt;
}

QString ReportingPrompter::openFile(QWidget *, const QString &caption, const QString &, const QString &)
{
    report(QStringLiteral("open file, cancelled"), caption, QString());
    return QString();
}

QString ReportingPrompter::saveFile(QWidget *, const QString &caption, const QString &, const QString &)
{
    report(QStringLiteral("save file, cancelled"), caption, QString());
    return QString();
}

} // namespace vorlan
