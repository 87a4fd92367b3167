#pragma once

#include <QString>

namespace vorlan {

// The settings file 配置文件.ini: GBK text holding entries of the form
// key + " = {" + value + "}". Looked up textually, keys without regard to ASCII case;
// "#引号" in a key stands for a double quote. A key found with an empty value gives the
// empty text. A missing key gives `fallback`; with `create` set, the entry
// key = {fallback} + trailer + CR LF is appended to the file first.
QString readSetting(const QString &path, const QString &key, const QString &fallback, bool create,
                    const QString &trailer = {});

} // namespace vorlan
