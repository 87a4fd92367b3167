#pragma once

#include <QString>

namespace vorlan {

// Whole files compressed with zstd, streamed in small blocks so that memory stays the
// same whatever the file's size. The result is an ordinary .zst file with its content
// size and checksum: `zstd -d file.zst` gives the original back.

// Compresses `from` into `to` (replaced) and syncs `to` to the disk.
bool compressFile(const QString &from, const QString &to, int level, QString *error);

// Decompresses `from` into `to` (replaced); with an empty `to`, only reads `from` through
// and checks its checksum. A file that is not zstd, damaged or cut short fails.
bool decompressFile(const QString &from, const QString &to, QString *error);

} // namespace vorlan
