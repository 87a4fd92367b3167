#pragma once

#include "history/ui/orderhistorywindow.h"

namespace vorlan {

class MainWindow;

// The order window as the history browser sees it.
OrderWindowHooks orderWindowHooks(MainWindow &window);

// Enables the toolbar's 历史单据 and 顾客管理 and opens their windows from them.
void connectHistoryWindows(MainWindow &window);

} // namespace vorlan
