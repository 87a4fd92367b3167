#pragma once

#include <QString>

namespace vorlan {

// Gives a newly made widget (or any QObject) its object name and returns it, so a control
// is created and named in one expression: named(new QLineEdit(parent), u"编辑框_电话"_s).
template<typename W>
W *named(W *object, const QString &name)
{
    object->setObjectName(name);
    return object;
}

} // namespace vorlan
