#pragma once

#include "receiptsnapshot.h"

#include <QString>

namespace vorlan {

class DataStore;
class PrintBackend;
struct ProgramPaths;

// The layout width for the paper type 小票类型 (0 = 58 mm, else 80 mm), in units of 0.1 mm,
// from the settings file; a missing entry is added with its default (480 or 700) so the
// operator can adjust it there. A settings file that cannot be read or written gives the
// default and says why in `problem`.
int receiptPaperWidth(DataStore &store, const QString &configPath, QString *problem = nullptr);
// The physical width of the roll in units of 0.1 mm (580 or 800).
int receiptPaperRollWidth(DataStore &store);

// Prints the receipt of `order`: the first copy with the pictures (those whose files
// exist), then, unless `singleCopy`, the further copies of 打印份数 (1 to kMaxCopies in
// all, whatever is stored) without pictures. `settingsProblem` receives why the settings
// file could not be used, if so.
// False when a job could not be started or finished (the operator cancelled the print
// dialog, say); the copies printed before stand.
bool printReceipt(DataStore &store, const ProgramPaths &paths, const ReceiptSnapshot &order, PrintBackend &backend,
                  bool singleCopy, QString *settingsProblem = nullptr);

} // namespace vorlan
