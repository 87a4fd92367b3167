#pragma once

#include <QString>

#include <optional>

namespace vorlan {

// The settings file 配置文件.ini: GBK text holding entries of the form
// key + " = {" + value + "}". Looked up textually, keys without regard to ASCII case;
// "#引号" in a key stands for a double quote. A key found with an empty value gives the
// empty text. A missing key gives `fallback`; with `create` set, the entry
// key = {fallback} + trailer + CR LF is appended to the file first.
//
// A file that exists but cannot be read or is not GBK text is never rewritten (the
// operator's entries in it would be lost): the fallback is returned and `problem`, when
// given, says why. A failed append is reported the same way.
QString readSetting(const QString &path, const QString &key, const QString &fallback, bool create,
                    const QString &trailer = {}, QString *problem = nullptr);

// Why the settings file at `path` cannot be used (unreadable, not GBK text), or nullopt
// when it is fine or does not exist yet. Start-up tells the operator once.
std::optional<QString> settingsFileProblem(const QString &path);

} // namespace vorlan
