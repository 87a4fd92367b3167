#include "utf8togbk.h"

#include "core/gbk.h"

#include <QString>

#include <array>
#include <memory>

namespace vorlan {

namespace {

// For each character of the basic plane: its encoded bytes, up to four, and their count
// in the low byte of the packed value.
struct GbkTable {
    std::unique_ptr<std::array<quint64, 0x10000>> packed = std::make_unique<std::array<quint64, 0x10000>>();

    GbkTable()
    {
        QString all;
        all.reserve(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            all.append(QChar(char16_t((c >= 0xD800 && c < 0xE000) ? u'?' : c)));
        const QByteArray bytes = gbk::encode(all);
        // GB18030 is self-delimiting: below 0x80 one byte; a lead byte followed by a digit
        // byte starts four bytes; otherwise two.
        qsizetype at = 0;
        for (char32_t c = 0; c < 0x10000 && at < bytes.size(); ++c) {
            const auto b = [&](qsizetype i) { return static_cast<quint8>(bytes.at(at + i)); };
            int n = 1;
            if (b(0) >= 0x80)
                n = (at + 1 < bytes.size() && b(1) >= 0x30 && b(1) <= 0x39) ? 4 : 2;
            quint64 v = quint64(n);
            for (int i = 0; i < n && at + i < bytes.size(); ++i)
                v |= quint64(b(i)) << (8 * (i + 1));
            (*packed)[c] = v;
            at += n;
        }
    }
};

const GbkTable &table()
{
    static const GbkTable t;
    return t;
}

void appendPacked(std::string &out, quint64 v)
{
    const int n = int(v & 0xFF);
    for (int i = 1; i <= n; ++i)
        out.push_back(char((v >> (8 * i)) & 0xFF));
}

} // namespace

void appendUtf8AsGbk(std::string &out, const char *utf8, size_t size)
{
    const auto &packed = *table().packed;
    const auto *s = reinterpret_cast<const unsigned char *>(utf8);
    size_t i = 0;
    while (i < size) {
        // Runs of ASCII are copied as they are.
        size_t j = i;
        while (j < size && s[j] < 0x80)
            ++j;
        if (j > i) {
            out.append(utf8 + i, j - i);
            i = j;
            if (i == size)
                break;
        }
        const unsigned char c = s[i];
        char32_t cp = 0;
        int len = 0;
        if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            len = 4;
        }
        bool valid = len > 0 && i + len <= size;
        for (int k = 1; valid && k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (!valid) {
            out.push_back('?');
            ++i;
            continue;
        }
        if (cp < 0x10000) {
            appendPacked(out, packed[cp]);
        } else {
            const QByteArray encoded = gbk::encode(QString::fromUcs4(&cp, 1));
            out.append(encoded.constData(), size_t(encoded.size()));
        }
        i += size_t(len);
    }
}

} // namespace vorlan
