#include "pinyininitials.h"

#include "pinyintable.h"
#include "core/gbk.h"

namespace vorlan {

char pinyinInitial(unsigned char lead, unsigned char trail)
{
    const int row = lead - pinyin::kLeadFirst;
    const int column = trail - pinyin::kTrailFirst;
    if (row < 0 || row >= pinyin::kLeadCount || column < 0 || column >= pinyin::kTrailCount)
        return 0;
    const char letter = pinyin::kGb2312Initials[row][column];
    return letter == ' ' ? 0 : letter;
}

QString derivePinyinInitials(const QString &name)
{
    const QByteArray bytes = gbk::encode(name);
    QString letters;
    letters.reserve(bytes.size());
    int lead = -1; // the remembered lead byte of a double-byte character
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x80 && lead < 0) {
            lead = byte;
        } else if (byte > 0x28 && lead >= 0) {
            if (const char letter = pinyinInitial(static_cast<unsigned char>(lead), byte))
                letters.append(QLatin1Char(letter));
            lead = -1;
        } else if (byte < 0x80) {
            // A lone 0x80 cannot come out of the encoder; everything else here is ASCII.
            letters.append(QLatin1Char(static_cast<char>(byte)));
        }
    }
    return letters;
}

} // namespace vorlan
