#pragma once

#include "masterdata/namelists.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QPushButton;

namespace vorlan {

struct AppContext;
class DataStore;

// Fills a unit combo box from the unit table: one item per unit, no empty item, nothing
// chosen.
void fillUnitCombo(QComboBox *combo, DataStore &store);

// 票头设置, 店铺名称设置, 优惠减免设置 and 计量单位设置: one editable combo box holding a
// list of names, 保存 to add the typed name and 删除 to delete it. The combo box is the
// working copy of the table. `onClosed` runs when the window closes, so the windows that
// offer these names can refill.
class NameListWindow final : public QDialog
{
    Q_OBJECT
public:
    NameListWindow(AppContext &context, NameListKind kind, std::function<void()> onClosed = {},
                   QWidget *parent = nullptr);

    // 按钮1 "保存" and 按钮2 "删除".
    void addName();
    void deleteName();

    QComboBox *comboBox() const { return m_combo; }

    void done(int result) override;

private:
    QStringList items() const;

    AppContext &m_context;
    const NameList &m_list;
    std::function<void()> m_onClosed;
    QComboBox *m_combo = nullptr;
};

} // namespace vorlan
