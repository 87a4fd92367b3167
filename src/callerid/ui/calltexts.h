#pragma once

#include "callerid/callerlines.h"

#include <QString>

namespace vorlan {

class DataStore;

// What a call shows in place of its number: the number, 私密号码 or 号码不可用.
QString callNumberText(const CallerIdCall &call);
// The stored customer's name for this call's number; empty when none (or no store).
QString callCustomerName(DataStore *store, const CallerIdCall &call);

} // namespace vorlan
