#pragma once

#include "databasesetting.h"
#include "paths.h"

#include <QDir>

namespace vorlan {

class DataStore;
class PrintBackend;
class Prompter;

// The services and process-wide values every window receives from start-up.
struct AppContext {
    ProgramPaths paths;
    // The system temporary folder; a program folder inside it may be cleaned away.
    QString temporaryFolder = QDir::tempPath();
    DatabaseSetting database; // the SQLite file in the data folder unless a server is named
    DataStore *store = nullptr;
    Prompter *prompter = nullptr;
    PrintBackend *printBackend = nullptr; // tests choose one; otherwise the operator's choice
    QString versionText = QStringLiteral(VORLAN_VERSION);
    int timeFormat = 0;    // 0, 1 or 2 (formatOrderTime)
    int decimalPlaces = 1; // decimal places of order-line quantities
};

} // namespace vorlan
