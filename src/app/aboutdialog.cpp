#include "aboutdialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vorlan {

AboutDialog::AboutDialog(const QString &versionText, const QString &sqliteVersion, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("关于"));
    setWindowTitle(QStringLiteral("关于"));
    setModal(true);

    auto *title = new QLabel(QStringLiteral("Vorlan %1").arg(versionText), this);
    QFont big = title->font();
    big.setPixelSize(22);
    big.setBold(true);
    title->setFont(big);
    auto *text = new QLabel(QStringLiteral("外卖点单与小票打印\n\n"
                                           "Qt 版本：%1\nSQLite 版本：%2")
                                .arg(QString::fromLatin1(qVersion()), sqliteVersion),
                            this);
    text->setObjectName(QStringLiteral("关于_版本"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

} // namespace vorlan
