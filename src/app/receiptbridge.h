#pragma once

#include "order/ui/mainform.h"
#include "receipt/receiptsnapshot.h"

#include <memory>

class QWidget;

namespace vorlan {

class DataStore;
class PrintBackend;
class Prompter;
struct ProgramPaths;

// The receipt's view of the order on the main window: the texts its controls hold now.
ReceiptSnapshot receiptSnapshotFromForm(const MainForm &form);

// The output the operator chose in 打印设置: the system print dialog, PDF files in a
// folder (the program folder's "receipts" when none was given), or a thermal printer
// spoken to directly (which tells its own failures through `prompter`).
std::unique_ptr<PrintBackend> makePrintBackend(DataStore &store, const ProgramPaths &paths, Prompter &prompter,
                                               QWidget *owner);

} // namespace vorlan
