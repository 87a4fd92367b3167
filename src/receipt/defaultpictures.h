#pragma once

#include <QImage>

namespace vorlan {

// The pictures a new installation prints until the shop chooses its own: a placeholder
// asking for the shop's logo or QR code (430 × 189) and a sample QR code over two lines
// of promotion (430 × 430). Black on white, as a thermal printer prints them.
QImage defaultTopPicture();
QImage defaultBottomPicture();

// Writes the built-in picture to `path` when no file is there yet. False when the
// file is missing and could not be written.
bool writeDefaultPictureIfMissing(const QString &path, const QImage &picture);

// Why the picture file at `path` cannot be printed (it holds no picture Qt can read);
// empty when it can, or when there is no file (nothing is printed then).
QString pictureProblem(const QString &path);

} // namespace vorlan
