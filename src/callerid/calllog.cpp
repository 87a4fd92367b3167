#include "calllog.h"

namespace vorlan {

void CallLog::add(const CallerIdCall &call)
{
    m_calls.prepend(call);
    while (m_calls.size() > kSize)
        m_calls.removeLast();
    emit changed();
}

} // namespace vorlan
