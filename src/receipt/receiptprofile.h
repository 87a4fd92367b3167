#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace vorlan {

class RecordTable;

// One optional receipt element: the two extra lines and the two pictures.
struct ReceiptElementSwitch {
    bool on = false;
    QString text; // extra lines only
};

struct FontSlot {
    int size = 0; // points
    bool bold = false;
};

// Font slots, in the order the print settings window lists them.
enum ReceiptSlot {
    SlotTitle = 0,
    SlotShopName,
    SlotPayment,
    SlotOrderTime,
    SlotTableTitle,
    SlotTableContent,
    SlotTotal,
    SlotDiscountTitle,
    SlotDiscountContent,
    SlotPaid,
    SlotDelivery,
    ReceiptSlotCount
};

enum ReceiptSwitch { SwitchExtra1 = 0, SwitchExtra2, SwitchTopPicture, SwitchBottomPicture };

struct ReceiptProfile {
    std::array<ReceiptElementSwitch, 4> switches;
    std::array<FontSlot, ReceiptSlotCount> fonts;
};

// The receipt's appearance as the print settings window stored it in 记录. The fixed
// default profile (设置类型 0 or absent) prints no pictures and every text at 9 points.
ReceiptProfile loadReceiptProfile(RecordTable &records);

// Splits at `delimiter`: empty pieces between delimiters are kept, an empty piece after a
// trailing delimiter is not, and an empty text gives no pieces.
QStringList splitPieces(const QString &text, const QString &delimiter);

// The first `count` pieces of a "|"-joined list, missing ones empty.
QStringList profileParts(const QString &joined, int count);

// The integer value of a stored text: its leading number truncated; anything else is 0.
int integerValue(const QString &text);

} // namespace vorlan
