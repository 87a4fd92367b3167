#include "combos.h"

#include "core/datastore.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace vorlan {

namespace {
// Item data marking a name that is shown only for the order on the window.
const QString kStoredOnly = QStringLiteral("stored-only");
} // namespace

void fillComboFromQuery(QComboBox *combo, DataStore &store, const QString &sql, const QString &column)
{
    const QString remembered = combo->currentText();
    const bool rememberedStoredOnly = combo->currentIndex() >= 0 && combo->currentData() == kStoredOnly;
    QStringList texts;
    store.query(sql);
    while (!store.atEnd()) {
        texts.append(store.readText(column));
        store.next();
    }
    store.closeQuery();

    int selected = -1;
    {
        const QSignalBlocker blocker(combo);
        combo->clear();
        combo->addItem(QString(), 0);
        for (int i = 0; i < texts.size(); ++i) {
            combo->addItem(texts.at(i), i);
            if (selected < 0 && !remembered.isEmpty() && texts.at(i) == remembered)
                selected = i + 1;
        }
        if (selected < 0 && rememberedStoredOnly) {
            combo->addItem(remembered, kStoredOnly);
            selected = combo->count() - 1;
        }
        // Refilling keeps the choice; it is not a new choice of the operator, so no
        // change is announced.
        combo->setCurrentIndex(selected);
    }
}

void showStoredChoice(QComboBox *combo, const QString &text)
{
    // Removing the current item would make the box jump to a neighbour.
    if (combo->currentIndex() >= 0 && combo->currentData() == kStoredOnly && combo->currentText() != text)
        combo->setCurrentIndex(-1);
    for (int i = combo->count() - 1; i >= 0; --i)
        if (combo->itemData(i) == kStoredOnly && combo->itemText(i) != text)
            combo->removeItem(i);
    if (text.isEmpty() || text == u"无") {
        combo->setCurrentIndex(-1);
        return;
    }
    int index = combo->findText(text, Qt::MatchExactly);
    if (index < 0) {
        combo->addItem(text, kStoredOnly);
        index = combo->count() - 1;
    }
    combo->setCurrentIndex(index);
}

void dropStoredChoices(QComboBox *combo)
{
    // Removing the current item would make the box jump to a neighbour.
    if (combo->currentIndex() >= 0 && combo->currentData() == kStoredOnly)
        combo->setCurrentIndex(-1);
    for (int i = combo->count() - 1; i >= 0; --i)
        if (combo->itemData(i) == kStoredOnly)
            combo->removeItem(i);
}

void keepTypedText(QComboBox *combo)
{
    Q_ASSERT(combo->isEditable());
    combo->setCompleter(nullptr);
}

void selectComboByText(QComboBox *combo, const QString &text)
{
    if (text.isEmpty() || text == u"无") {
        combo->setCurrentIndex(-1);
        return;
    }
    if (combo->currentText() == text)
        return;
    const int index = combo->findText(text, Qt::MatchExactly);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace vorlan
