#pragma once

#include "webordering/weborders.h"

#include <QList>

class QWidget;

namespace vorlan {

struct AppContext;
struct OrderLine;
class OrderPanel;

// The receipt header a phone order is settled under.
QString webOrderHeader();

// The order lines of a phone order, priced as the customer was shown them.
QList<OrderLine> webOrderLines(const WebOrder &order);

// Whether the panel may take a phone order: when it holds an unfinished order (or one
// reopened for modification) the operator is asked first. False when the operator keeps
// what is there.
bool makeRoomForWebOrder(OrderPanel &panel, AppContext &context, QWidget *owner);

// Clears the panel and puts the order on it: the header 扫码点餐 (added to the header
// list when it is missing), the table code, phone, remark and lines. A dish no longer in
// the catalog is marked on its line. The operator then settles it as usual.
void putWebOrderOnPanel(OrderPanel &panel, AppContext &context, const WebOrder &order, QWidget *owner);

} // namespace vorlan
