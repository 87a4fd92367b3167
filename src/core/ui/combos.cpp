#include "combos.h"

#include "core/datastore.h"

#include <QComboBox>
#include <QSignalBlocker>

namespace vorlan {

void fillComboFromQuery(QComboBox *combo, DataStore &store, const QString &sql, const QString &column)
{
    const QString remembered = combo->currentText();
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
        // Refilling keeps the choice; it is not a new choice of the operator, so no
        // change is announced.
        combo->setCurrentIndex(selected);
    }
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
