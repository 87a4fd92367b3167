#pragma once

#include "callerid/callerlines.h"

#include <QList>
#include <QObject>

namespace vorlan {

// The calls of this run, newest first, at most kSize of them.
class CallLog final : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSize = 20;
    using QObject::QObject;

    void add(const CallerIdCall &call);
    const QList<CallerIdCall> &calls() const { return m_calls; }

signals:
    void changed();

private:
    QList<CallerIdCall> m_calls;
};

} // namespace vorlan
