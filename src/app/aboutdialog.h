#pragma once

#include <QDialog>

namespace vorlan {

// 关于: program name, version, and the versions of the libraries it runs on.
class AboutDialog final : public QDialog
{
    Q_OBJECT
public:
    AboutDialog(const QString &versionText, const QString &sqliteVersion, QWidget *parent = nullptr);
};

} // namespace vorlan
