#pragma once

#include <QSaveFile>

namespace vorlan {

// Commits a QSaveFile only when every byte reached the disk. Qt 6.4's commit() writes the
// last buffered bytes while closing, ignores a failure there (a full disk) and reports
// success, having replaced the old file with a cut or empty one. Flushing first finds the
// failure; the old file then stays as it was.
inline bool commitSaveFile(QSaveFile &file)
{
    if (!file.flush()) {
        file.cancelWriting();
        file.commit(); // discards the temporary file; returns false
        return false;
    }
    return file.commit();
}

} // namespace vorlan
