#include "weborderpanel.h"

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/numbers.h"
#include "core/prompter.h"
#include "core/ui/combos.h"
#include "masterdata/namelists.h"
#include "order/dishlookup.h"
#include "order/ui/orderactions.h"
#include "order/ui/orderentry.h"
#include "order/ui/orderpanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace vorlan {

QString webOrderHeader() { return QStringLiteral("扫码点餐"); }

QList<OrderLine> webOrderLines(const WebOrder &order)
{
    QList<OrderLine> lines;
    for (const WebOrderLine &line : order.lines)
        lines.append({line.name, QString::number(line.quantity), line.unit,
                      formatDouble(roundHalfUp(line.price * line.quantity, 1))});
    return lines;
}

bool makeRoomForWebOrder(OrderPanel &panel, AppContext &context, QWidget *owner)
{
    if (!panel.holdsUnfinishedOrder() && !panel.isModifying())
        return true;
    // The operator may be in the middle of a phone order; keeping it is the default.
    return context.prompter->ask(owner, PromptIcon::Question, QStringLiteral("提示"),
                                 QStringLiteral("是否清除主界面上的点餐信息？\r\n\r\n点 是 清空未完成项目，"
                                                "接这张网络订单。\r\n点 否 取消接单。"),
                                 PromptDefault::No);
}

void putWebOrderOnPanel(OrderPanel &panel, AppContext &context, const WebOrder &order, QWidget *owner)
{
    panel.orderActions()->clearOrder();
    MainForm &form = panel.form();

    const QString header = webOrderHeader();
    if (context.store) {
        const NameList &headers = nameList(NameListKind::Headers);
        const QStringList names = readListNames(*context.store, headers);
        if (!names.contains(header)) {
            if (addListName(*context.store, headers, names, header) == AddNameResult::Failed)
                context.prompter->info(owner, QStringLiteral("票头“%1”没有加入票头列表：%2")
                                                  .arg(header, context.store->lastError()));
            panel.refillNameLists();
        }
    }
    const int index = form.header->findText(header);
    if (index >= 0)
        form.header->setCurrentIndex(index);
    else
        showStoredChoice(form.header, header);

    // The code picks the table from the list; a code no longer listed is kept as sent, so
    // the receipt and the stored order still name the table.
    form.tableCode->setText(order.table);
    if (form.table->currentIndex() < 0 && !order.table.trimmed().isEmpty())
        showStoredChoice(form.table, order.table);
    form.phone->setText(order.phone); // a known customer brings name and address
    form.remark->setPlainText(order.remark);

    OrderEntry *entry = panel.orderEntry();
    entry->setLines(webOrderLines(order));
    for (int row = 0; row < order.lines.size(); ++row)
        if (findDish(panel.dishCatalog(), order.lines.at(row).name.trimmed()) < 0)
            entry->markLineOutOfCatalog(row);
    entry->recomputeTotals(OrderEntry::TotalsReason::LineChanged);
    form.dishCode->setFocus();
}

} // namespace vorlan
