#pragma once

#include <QString>

namespace vorlan {

// The letter code of a name: its GBK bytes read in turn, each GB2312 hanzi giving the
// lower-case initial of its first reading, other double-byte characters (full-width
// punctuation, symbols) nothing, single-byte characters (digits, Latin letters, blanks,
// ASCII punctuation) themselves. "王老吉330ml" gives "wlj330ml".
QString derivePinyinInitials(const QString &name);

// The initial of one double-byte character, or 0 when it is not a GB2312 hanzi.
char pinyinInitial(unsigned char lead, unsigned char trail);

} // namespace vorlan
