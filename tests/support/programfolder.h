#pragma once

#include "core/appcontext.h"
#include "scriptedprompter.h"

#include <QDir>
#include <QTemporaryDir>

namespace vorlan {

// A fresh program folder and the context start-up hands to the main window, with a
// scripted Prompter. Wherever the checkout lies, the folder counts as a real program
// folder (no unpacking warning).
struct ProgramFolder {
    QTemporaryDir dir{QDir::currentPath() + QStringLiteral("/home-XXXXXX")};
    ScriptedPrompter prompter;
    AppContext context;

    ProgramFolder()
    {
        context.paths.home = dir.path();
        context.temporaryFolder = QStringLiteral("/nonexistent-temporary-folder");
        context.prompter = &prompter;
    }
};

} // namespace vorlan
