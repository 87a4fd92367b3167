#include "dishcatalogwindow.h"

#include "namelistwindow.h"
#include "core/appcontext.h"
#include "core/datastore.h"
#include "core/prompter.h"
#include "core/ui/named.h"
#include "masterdata/dishcatalogmodel.h"
#include "masterdata/dishrules.h"
#include "masterdata/pinyininitials.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

namespace vorlan {

namespace {

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = named(new QPushButton(text, parent), name);
    b->setAutoDefault(false);
    return b;
}

// A unit list that is read again from the unit table each time it drops down, so units
// added meanwhile appear; the unit already chosen stays chosen while it is still listed.
class RefillingUnitCombo final : public QComboBox
{
public:
    RefillingUnitCombo(DataStore *store, QWidget *parent)
        : QComboBox(parent)
        , m_store(store)
    {
    }
    void showPopup() override
    {
        if (m_store) {
            const QString chosen = currentText();
            fillUnitCombo(this, *m_store);
            if (!chosen.isEmpty())
                setCurrentIndex(findText(chosen, Qt::MatchExactly));
        }
        QComboBox::showPopup();
    }

private:
    DataStore *m_store;
};

} // namespace

// ---------------------------------------------------------------------------------------
// 菜单设置

DishCatalogWindow::DishCatalogWindow(AppContext &context, std::function<void()> onClosed, QWidget *parent)
    : QDialog(parent)
    , m_context(context)
    , m_onClosed(std::move(onClosed))
{
    setObjectName(QStringLiteral("菜单设置"));
    setWindowTitle(QStringLiteral("商品设置"));
    resize(491, 492);

    m_model = new DishCatalogModel(this);
    m_list = named(new QTableView(this), QStringLiteral("超级列表框1"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(false);
    m_list->setAlternatingRowColors(true);
    m_list->setWordWrap(false);
    m_list->setCornerButtonEnabled(false);
    m_list->verticalHeader()->hide();
    // Fixed row heights keep a list of tens of thousands of items as quick as a short one.
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_list->horizontalHeader()->setHighlightSections(false);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->setColumnWidth(DishCatalogModel::HiddenColumn, 0);
    m_list->setColumnHidden(DishCatalogModel::HiddenColumn, true);
    m_list->setColumnWidth(DishCatalogModel::CodeColumn, 90);
    m_list->setColumnWidth(DishCatalogModel::LetterColumn, 80);
    m_list->setColumnWidth(DishCatalogModel::NameColumn, 130);
    m_list->setColumnWidth(DishCatalogModel::PriceColumn, 100);
    m_list->setColumnWidth(DishCatalogModel::UnitColumn, 50);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->installEventFilter(this);
    connect(m_list, &QTableView::customContextMenuRequested, this, &DishCatalogWindow::showPopup);
    connect(m_list, &QTableView::doubleClicked, this, [this] { modifyItem(); });

    auto *addButton = button(QStringLiteral("按钮1"), QStringLiteral("添加"), this);
    auto *modifyButton = button(QStringLiteral("按钮3"), QStringLiteral("修改"), this);
    auto *deleteButton = button(QStringLiteral("按钮2"), QStringLiteral("删除"), this);
    connect(addButton, &QPushButton::clicked, this, &DishCatalogWindow::addItem);
    connect(modifyButton, &QPushButton::clicked, this, &DishCatalogWindow::modifyItem);
    connect(deleteButton, &QPushButton::clicked, this, &DishCatalogWindow::deleteItem);

    m_menu = named(new QMenu(this), QStringLiteral("菜单"));
    m_menu->addAction(QStringLiteral("修改"), this, &DishCatalogWindow::modifyItem);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("删除"), this, &DishCatalogWindow::deleteItem);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {addButton, modifyButton, deleteButton}) {
        b->setMinimumWidth(80);
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);

    loadDishList();
}

void DishCatalogWindow::loadDishList()
{
    if (!m_context.store || !m_model->load(*m_context.store))
        m_context.prompter->info(this, QStringLiteral("商品列表读取失败，请关闭窗口后重试。"));
}

int DishCatalogWindow::selectedRow() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void DishCatalogWindow::selectRow(int row)
{
    if (row < 0 || row >= m_model->size()) {
        m_list->selectionModel()->clearSelection();
        return;
    }
    const QModelIndex index = m_model->index(row, DishCatalogModel::CodeColumn);
    m_list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_list->scrollTo(index);
}

void DishCatalogWindow::addItem()
{
    DishEntryWindow window(*this, DishEntryWindow::Mode::Add);
    window.exec();
}

void DishCatalogWindow::modifyItem()
{
    if (selectedRow() < 0) {
        m_context.prompter->info(this, QStringLiteral("请选择要修改的项目。"));
        return;
    }
    DishEntryWindow window(*this, DishEntryWindow::Mode::Modify);
    window.exec();
}

void DishCatalogWindow::deleteItem()
{
    int row = selectedRow();
    if (row < 0) {
        m_context.prompter->info(this, QStringLiteral("请选择要删除的项目。"));
        return;
    }
    const CatalogRow item = m_model->row(row);
    if (!m_context.prompter->ask(this, PromptIcon::Question, QString(),
                                 QStringLiteral("是否删除：") + item.name + QStringLiteral(" ?"), PromptDefault::Yes))
        return;
    if (!m_context.store || !deleteDish(*m_context.store, item.code, item.name)) {
        m_context.prompter->info(this, QStringLiteral("删除失败，请重试。"));
        return;
    }
    m_model->removeRowAt(row);
    if (row >= m_model->size())
        row = m_model->size() - 1;
    selectRow(row);
    m_context.prompter->message(this, PromptIcon::None, QString(), QStringLiteral("处理成功。"));
}

void DishCatalogWindow::showPopup(const QPoint &position)
{
    if (!m_list->indexAt(position).isValid() || selectedRow() < 0)
        return;
    m_menu->popup(m_list->viewport()->mapToGlobal(position));
}

bool DishCatalogWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list && event->type() == QEvent::KeyRelease
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete && !static_cast<QKeyEvent *>(event)->isAutoRepeat()) {
        deleteItem();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void DishCatalogWindow::done(int result)
{
    QDialog::done(result);
    if (m_onClosed)
        m_onClosed();
}

// ---------------------------------------------------------------------------------------
// 项目或菜品添加 / 项目或菜品修改

DishEntryWindow::DishEntryWindow(DishCatalogWindow &catalog, Mode mode)
    : QDialog(&catalog)
    , m_catalog(catalog)
    , m_context(catalog.context())
    , m_mode(mode)
{
    const bool adding = mode == Mode::Add;
    setObjectName(adding ? QStringLiteral("项目或菜品添加") : QStringLiteral("项目或菜品修改"));
    setWindowTitle(adding ? QStringLiteral("项目添加") : QStringLiteral("项目修改"));
    setFixedSize(380, 251);

    m_name = named(new QLineEdit(this), QStringLiteral("编辑框3"));
    m_name->setMaxLength(32);
    m_letters = named(new QLineEdit(this), QStringLiteral("编辑框2"));
    m_letters->setMaxLength(16);
    m_code = named(new QLineEdit(this), QStringLiteral("编辑框1"));
    m_code->setMaxLength(8);
    m_code->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_code));
    m_price = named(new QLineEdit(this), QStringLiteral("编辑框4"));
    m_price->setMaxLength(12);
    m_price->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*[.]?[0-9]*")), m_price));
    if (adding)
        m_unit = new RefillingUnitCombo(m_context.store, this);
    else
        m_unit = new QComboBox(this);
    named(m_unit, QStringLiteral("组合框1"));
    auto *unitsButton = button(QStringLiteral("按钮8"), QStringLiteral("…"), this);
    unitsButton->setFixedWidth(30);
    auto *confirmButton = named(new QPushButton(adding ? QStringLiteral("添加") : QStringLiteral("修改"), this),
                                QStringLiteral("按钮1"));
    confirmButton->setDefault(true);
    confirmButton->setMinimumWidth(88);
    connect(confirmButton, &QPushButton::clicked, this, &DishEntryWindow::confirm);
    connect(unitsButton, &QPushButton::clicked, this, &DishEntryWindow::openUnitList);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    const struct {
        const char *name, *text;
        QWidget *field;
    } rows[] = {
        {"透明标签3", "商品名称", m_name},       {"透明标签2", "字母代号：", m_letters},
        {"透明标签1", "数字代号：", m_code},     {"透明标签4", "价      格：", m_price},
        {"透明标签5", "单      位：", m_unit},
    };
    int r = 0;
    for (const auto &row : rows) {
        auto *label = named(new QLabel(QString::fromUtf8(row.text), this), QString::fromUtf8(row.name));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, r, 0);
        grid->addWidget(row.field, r, 1, 1, row.field == m_unit ? 1 : 2);
        ++r;
    }
    grid->addWidget(unitsButton, r - 1, 2);
    grid->setColumnStretch(1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(confirmButton);
    buttons->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 16, 28, 14);
    layout->addLayout(grid);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setTabOrder(m_name, m_letters);
    setTabOrder(m_letters, m_code);
    setTabOrder(m_code, m_price);
    setTabOrder(m_price, m_unit);
    setTabOrder(m_unit, unitsButton);
    setTabOrder(unitsButton, confirmButton);

    if (adding) {
        connect(m_name, &QLineEdit::textChanged, this,
                [this](const QString &name) { m_letters->setText(derivePinyinInitials(name)); });
        // The units are there from the start (nothing chosen), so the keyboard reaches them
        // without opening the list first.
        if (m_context.store)
            fillUnitCombo(m_unit, *m_context.store);
        m_name->setFocus();
        return;
    }

    if (m_context.store)
        fillUnitCombo(m_unit, *m_context.store);
    const int selected = m_catalog.selectedRow();
    if (selected >= 0) {
        const CatalogRow &item = m_catalog.model()->row(selected);
        m_code->setText(item.code);
        m_letters->setText(item.letters);
        m_name->setText(item.name);
        m_price->setText(item.price);
        m_unit->setCurrentIndex(m_unit->findText(item.unit, Qt::MatchExactly));
    }
    m_code->setFocus();
    m_code->setCursorPosition(int(m_code->text().size()));
}

void DishEntryWindow::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    // A dialog being shown gives its focus field a tab focus, which selects the field's
    // text; the modify window leaves the caret after the code instead.
    if (visible && m_mode == Mode::Modify) {
        m_code->deselect();
        m_code->end(false);
    }
}

void DishEntryWindow::confirm()
{
    if (m_mode == Mode::Add)
        add();
    else
        modify();
}

void DishEntryWindow::add()
{
    const DishFields fields =
        readDishFields(m_code->text(), m_letters->text(), m_name->text(), m_price->text(), m_unit->currentText());
    if (const QString problem = dishFieldsProblem(fields); !problem.isEmpty()) {
        m_context.prompter->info(this, problem);
        return;
    }
    DishCatalogModel &model = *m_catalog.model();
    if (const int row = model.findCode(fields.code); row >= 0) {
        m_context.prompter->info(this, QStringLiteral("代号已经存在，不能重复添加。"));
        m_catalog.selectRow(row);
        return;
    }
    if (const int row = model.findName(fields.name); row >= 0) {
        m_context.prompter->info(this, QStringLiteral("名称已经存在，不能重复添加。"));
        m_catalog.selectRow(row);
        return;
    }
    if (!m_context.store || !insertDish(*m_context.store, fields)) {
        m_context.prompter->info(this, QStringLiteral("保存失败，请重试。"));
        return;
    }
    m_catalog.selectRow(model.appendRow(DishCatalogModel::rowFromFields(fields)));
    m_context.prompter->message(this, PromptIcon::None, QString(), QStringLiteral("保存完成。"));
    m_code->clear();
    m_letters->clear();
    m_name->clear();
    m_price->clear();
    m_name->setFocus();
}

void DishEntryWindow::modify()
{
    const DishFields fields =
        readDishFields(m_code->text(), m_letters->text(), m_name->text(), m_price->text(), m_unit->currentText());
    if (const QString problem = dishFieldsProblem(fields); !problem.isEmpty()) {
        m_context.prompter->info(this, problem);
        return;
    }
    DishCatalogModel &model = *m_catalog.model();
    const int row = model.findName(fields.name);
    if (row < 0) {
        m_context.prompter->info(this, QStringLiteral("名称不存在，无法完成修改。"));
        return;
    }
    // The name is the key: a name changed to another item's would rewrite that item.
    const int selected = m_catalog.selectedRow();
    if (selected >= 0 && row != selected) {
        const CatalogRow &other = model.row(row);
        if (!m_context.prompter->ask(
                this, PromptIcon::Question, QString(),
                QStringLiteral("“%1”是另一个项目（数字代号 %2）的名称，继续将修改那个项目，而不是当前选中的项目。\n是否修改“%1”？")
                    .arg(other.name, other.code),
                PromptDefault::No))
            return;
    }
    if (!m_context.store || !updateDishByName(*m_context.store, fields)) {
        m_context.prompter->info(this, QStringLiteral("修改失败，请重试。"));
        return;
    }
    model.setRow(row, DishCatalogModel::rowFromFields(fields));
    m_catalog.selectRow(row);
    m_context.prompter->message(this, PromptIcon::None, QString(), QStringLiteral("修改完成。"));
    accept();
}

void DishEntryWindow::openUnitList()
{
    NameListWindow units(m_context, NameListKind::Units, [this] { refillUnits(); }, &m_catalog);
    units.exec();
}

void DishEntryWindow::refillUnits()
{
    if (!m_context.store)
        return;
    fillUnitCombo(m_unit, *m_context.store);
    if (m_mode == Mode::Modify) {
        const int selected = m_catalog.selectedRow();
        if (selected >= 0)
            m_unit->setCurrentIndex(m_unit->findText(m_catalog.model()->row(selected).unit, Qt::MatchExactly));
    }
}

} // namespace vorlan
