#pragma once

#include "receipt/escpossettings.h"

#include <QByteArray>

class QImage;

namespace vorlan {

// How one copy is put into ESC/POS commands.
struct EscPosEncoding {
    // Rows per raster command: 255 suits every printer we know; some want fewer.
    int bandRows = 255;
    // Print density -6 … 6 (GS ( K); 0 leaves the printer's own setting alone.
    int density = 0;
    // Lines fed after the picture so its end passes the cutter.
    int feedLines = 4;
};

namespace escpos {
// The commands used, spelled once.
inline constexpr char ESC = 0x1b;
inline constexpr char GS = 0x1d;
inline constexpr char DLE = 0x10;
inline constexpr char EOT = 0x04;
QByteArray initialize();                           // ESC @
QByteArray printDensity(int level);                // GS ( K 2 0 49 m
QByteArray rasterHeader(int bytesPerRow, int rows); // GS v 0 0 xL xH yL yH
QByteArray feedLines(int lines);                   // ESC d n
QByteArray partialCut();                           // GS V 1
QByteArray statusRequest(int n);                   // DLE EOT n
} // namespace escpos

// The density the operator chose.
EscPosEncoding escPosEncoding(const EscPosSettings &settings);

// One copy: ESC @, the density when one is set, the bitmap (Format_Mono, a set bit
// prints) as GS v 0 bands of at most `bandRows` rows, a feed and a partial cut. Where the
// dots would spell a real-time command (DLE EOT, DLE ENQ, DLE DC4), the dot of its DLE
// byte is left out.
QByteArray encodeEscPosCopy(const QImage &bitmap, const EscPosEncoding &encoding);

// The dots encodeEscPosCopy sends for `bitmap`, as a picture (Format_Mono, a set bit
// prints, whole bytes wide): the bitmap less the dots left out.
QImage sentEscPosBitmap(const QImage &bitmap, const EscPosEncoding &encoding);

} // namespace vorlan
