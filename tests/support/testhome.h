#pragma once

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/schema.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace vorlan {

// A fresh program folder with an opened database, as start-up leaves it.
struct TestHome {
    QTemporaryDir dir;
    ProgramPaths paths{dir.path()};
    std::unique_ptr<DataStore> store;
    OpenedStore opened;

    explicit TestHome(bool openStore = true)
    {
        if (openStore)
            reopen();
    }

    bool reopen()
    {
        store.reset();
        store = std::make_unique<DataStore>(QStringLiteral("test-%1").arg(reinterpret_cast<quintptr>(this)));
        opened = openDataStore(*store, paths.dataDir(), paths.databasePath(), paths.configPath());
        return opened.ok;
    }
};

} // namespace vorlan
