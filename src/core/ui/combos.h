#pragma once

#include <QString>

class QComboBox;

namespace vorlan {

class DataStore;

// Refills a combo box from one text column: an empty first item, then one item per row;
// the item whose text equals the previous choice is selected again (none otherwise).
void fillComboFromQuery(QComboBox *combo, DataStore &store, const QString &sql, const QString &column);

// Selects the first item with this text; empty text or "无" selects nothing; an unknown
// text leaves the selection as it is.
void selectComboByText(QComboBox *combo, const QString &text);

} // namespace vorlan
