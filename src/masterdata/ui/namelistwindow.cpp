#include "namelistwindow.h"

#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/prompter.h"
#include "core/ui/combos.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace vorlan {

void fillUnitCombo(QComboBox *combo, DataStore &store)
{
    const QStringList units = readListNames(store, nameList(NameListKind::Units));
    const QSignalBlocker blocker(combo);
    combo->clear();
    combo->addItems(units);
    combo->setCurrentIndex(-1);
}

NameListWindow::NameListWindow(AppContext &context, NameListKind kind, std::function<void()> onClosed,
                               QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_list(nameList(kind))
    , m_onClosed(std::move(onClosed))
{
    setObjectName(m_list.windowName);
    setWindowTitle(m_list.windowName);
    setFixedSize(340, 238);

    m_combo = new QComboBox(this);
    m_combo->setObjectName(QStringLiteral("组合框1"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert); // names are added by 保存 only
    keepTypedText(m_combo);
    m_combo->lineEdit()->setMaxLength(m_list.maxLength);
    m_combo->setFixedWidth(230);
    m_combo->setMaxVisibleItems(12);

    auto *saveButton = new QPushButton(QStringLiteral("保存"), this);
    saveButton->setObjectName(QStringLiteral("按钮1"));
    auto *deleteButton = new QPushButton(QStringLiteral("删除"), this);
    deleteButton->setObjectName(QStringLiteral("按钮2"));
    for (QPushButton *button : {saveButton, deleteButton}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(88);
    }
    connect(saveButton, &QPushButton::clicked, this, &NameListWindow::addName);
    connect(deleteButton, &QPushButton::clicked, this, &NameListWindow::deleteName);

    auto *comboRow = new QHBoxLayout;
    comboRow->addStretch(1);
    comboRow->addWidget(m_combo);
    comboRow->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(saveButton);
    buttons->addSpacing(24);
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addStretch(2);
    layout->addLayout(comboRow);
    layout->addStretch(1);
    layout->addLayout(buttons);
    layout->addStretch(2);

    if (m_context.store) {
        const QString sql = QStringLiteral("select %1 from %2 order by ID").arg(m_list.column, m_list.table);
        if (m_list.emptyFirstItem)
            fillComboFromQuery(m_combo, *m_context.store, sql, m_list.column);
        else
            fillUnitCombo(m_combo, *m_context.store);
    }
    m_combo->setFocus();
}

QStringList NameListWindow::items() const
{
    QStringList texts;
    for (int i = 0; i < m_combo->count(); ++i)
        texts.append(m_combo->itemText(i));
    return texts;
}

void NameListWindow::addName()
{
    const QString text = m_combo->currentText();
    const AddNameResult result = m_context.store ? addListName(*m_context.store, m_list, items(), text)
                                                 : AddNameResult::Failed;
    if (result == AddNameResult::Added) {
        const QSignalBlocker blocker(m_combo);
        m_combo->addItem(text);
        m_combo->setCurrentIndex(m_combo->count() - 1);
    }
    m_context.prompter->info(this, addNameMessage(result));
}

void NameListWindow::deleteName()
{
    const QString text = m_combo->currentText();
    const DeleteNameResult result = m_context.store ? deleteListName(*m_context.store, m_list, items(), text)
                                                    : DeleteNameResult::Failed;
    if (result == DeleteNameResult::Deleted) {
        // The statement removed every row of that name; the list follows the table.
        const QSignalBlocker blocker(m_combo);
        for (int i = m_combo->count() - 1; i >= 0; --i)
            if (m_combo->itemText(i) == text)
                m_combo->removeItem(i);
        m_combo->setCurrentIndex(-1);
        m_combo->clearEditText();
    }
    m_context.prompter->info(this, deleteNameMessage(result));
}

void NameListWindow::done(int result)
{
    QDialog::done(result);
    if (m_onClosed)
        m_onClosed();
}

} // namespace vorlan
