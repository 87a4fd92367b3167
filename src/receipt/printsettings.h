#pragma once

#include "escpossettings.h"
#include "receiptprofile.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace vorlan {

class DataStore;
struct ProgramPaths;

// How many copies of a receipt may be printed at most; a larger stored or typed number
// prints this many.
constexpr int kMaxCopies = 4;
// The copies to print for a stored or typed 打印份数: 1 to kMaxCopies.
int clampCopies(int copies);

// Where receipts go (打印输出, stored as the number).
enum class ReceiptOutput { Printer = 0, PdfFolder = 1, ThermalPrinter = 2 };
ReceiptOutput receiptOutput(const QString &stored);

// Everything the print settings window shows and stores, as plain values.
struct PrintSettings {
    int paperType = 0;   // 0: 58 mm, 1: 80 mm
    int profileType = 0; // 0: default profile, 1: custom
    std::array<bool, 2> extraOn{};
    std::array<QString, 2> extraText;
    std::array<bool, 2> pictureOn{};
    int copies = 1;
    std::array<int, ReceiptSlotCount> sizes{};
    std::array<bool, ReceiptSlotCount> bolds{};
    ReceiptOutput output = ReceiptOutput::Printer;
    QString pdfFolder;   // with forward slashes
    EscPosSettings thermal;
};

PrintSettings readPrintSettings(DataStore &store);

// Whether the print profile exists at all (its 字体大小 record); without it the window
// refuses to store.
bool printProfileExists(DataStore &store);

// The two receipt pictures, top and bottom: the bytes of a newly chosen file, or nullopt
// to keep the current one.
using PictureReplacements = std::array<std::optional<QByteArray>, 2>;

// Stores the settings and replaces the chosen pictures (byte for byte) as one change:
// when any part fails, the records and the picture files stay as they were. Returns the
// reason of a failure, nullopt on success.
std::optional<QString> savePrintSettings(DataStore &store, const ProgramPaths &paths, const PrintSettings &settings,
                                         const PictureReplacements &pictures);

} // namespace vorlan
