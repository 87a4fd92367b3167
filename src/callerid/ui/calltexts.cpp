#include "calltexts.h"

#include "masterdata/customers.h"

namespace vorlan {

QString callNumberText(const CallerIdCall &call)
{
    switch (call.kind) {
    case CallerIdCall::Kind::Private: return QStringLiteral("私密号码");
    case CallerIdCall::Kind::Unavailable: return QStringLiteral("号码不可用");
    case CallerIdCall::Kind::Number: break;
    }
    return call.number;
}

QString callCustomerName(DataStore *store, const CallerIdCall &call)
{
    if (!store || call.number.isEmpty())
        return {};
    const std::optional<StoredCustomer> customer = findCustomer(*store, call.number);
    return customer ? customer->name : QString();
}

} // namespace vorlan
