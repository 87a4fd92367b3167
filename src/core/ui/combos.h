#pragma once

#include <QString>

class QComboBox;

namespace vorlan {

class DataStore;

// Refills a combo box from one text column: an empty first item, then one item per row;
// the item whose text equals the previous choice is selected again (none otherwise). A
// stored choice shown by showStoredChoice() that the list lacks stays as the last item.
void fillComboFromQuery(QComboBox *combo, DataStore &store, const QString &sql, const QString &column);

// Shows `text` as the choice of an order read back from the database: selects the item
// with this text, and when the list no longer holds it, adds it as an item of its own
// (the list's table is not touched), so the order keeps the name it was stored with.
// Refilling the list keeps such an item while it is the choice. Empty text or "无"
// selects nothing.
void showStoredChoice(QComboBox *combo, const QString &text);

// Removes the items showStoredChoice() added; a combo box showing one then shows nothing.
void dropStoredChoices(QComboBox *combo);

// Makes an editable combo box keep its text exactly as typed. Qt's own completer finishes
// a typed prefix into the first listed text that starts with it ("mei" becomes "meituan")
// and lets Enter replace a text that differs from a listed one only in letter case by that
// one; a box whose text is saved, or names what to delete, must hold what the operator
// typed. Listed texts are still chosen from the drop-down list or with the arrow keys.
// Call it after setEditable(true), which installs a new completer.
void keepTypedText(QComboBox *combo);

// Selects the first item with this text; empty text or "无" selects nothing; an unknown
// text leaves the selection as it is.
void selectComboByText(QComboBox *combo, const QString &text);

} // namespace vorlan
