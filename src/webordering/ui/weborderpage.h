#pragma once

#include "order/lastselections.h"
#include "tablecards.h"
#include "webordersettings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace vorlan {

struct AppContext;

// The 扫码点餐 preferences: 启用, the port, the limit per minute, the shop token (made at
// random when first switched on; 重新生成 makes every printed code stop working), and the
// table cards: this machine's address on the shop network, the tables, 打印桌卡, 导出PDF
// and 设为小票底部图片. 确定 stores the settings in 记录.
class WebOrderDialog final : public QDialog
{
    Q_OBJECT
public:
    struct Hooks {
        // Prints the cards on a real printer (the system print dialog); true when printed.
        std::function<bool(const QList<TableCard> &)> printCards;
        // The receipt's bottom picture changed.
        std::function<void()> pictureChanged = [] {};
    };

    WebOrderDialog(AppContext &context, const TableList &tables, Hooks hooks, QWidget *parent = nullptr);

    WebOrderPreferences settings() const;
    // The cards of the selected tables, or of every table when none is selected.
    QList<TableCard> selectedCards() const;
    QString address() const;

    void regenerateToken();
    void exportPdf();
    void printCards();
    void useAsBottomPicture();
    // Stores the settings; false (told to the operator) when the store refused them.
    bool confirm();

    QCheckBox *enabledBox() const { return m_enabled; }
    QSpinBox *portBox() const { return m_port; }
    QSpinBox *limitBox() const { return m_limit; }
    QLineEdit *tokenEdit() const { return m_token; }
    QLineEdit *addressEdit() const { return m_address; }
    QListWidget *tableList() const { return m_tables; }

private:
    bool cardsReady();

    AppContext &m_context;
    Hooks m_hooks;
    QString m_storedToken;
    QCheckBox *m_enabled = nullptr;
    QSpinBox *m_port = nullptr;
    QSpinBox *m_limit = nullptr;
    QLineEdit *m_token = nullptr;
    QLineEdit *m_address = nullptr;
    QListWidget *m_tables = nullptr;
};

// The system print dialog, then the cards on the chosen printer.
bool printTableCardsOnPrinter(const QList<TableCard> &cards, QWidget *owner);

} // namespace vorlan
