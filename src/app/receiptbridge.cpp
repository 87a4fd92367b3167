#include "receiptbridge.h"

#include "core/paths.h"
#include "core/recordtable.h"
#include "receipt/escpos/escposbackend.h"
#include "receipt/escpos/escpossettings.h"
#include "receipt/printbackend.h"
#include "receipt/receiptprofile.h"
#include "receipt/ui/printsettingswindow.h"
#include "receipt/ui/systemprintbackend.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableWidget>

namespace vorlan {

namespace {

// A cell without a value, or holding the logical value false, reads as empty.
QString cellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    if (!item)
        return QString();
    const QVariant value = item->data(Qt::DisplayRole);
    if (value.typeId() == QMetaType::Bool && !value.toBool())
        return QString();
    return value.toString();
}

} // namespace

ReceiptSnapshot receiptSnapshotFromForm(const MainForm &form)
{
    ReceiptSnapshot order;
    order.orderNumber = form.orderNumber->text();
    order.header = form.header->currentText();
    order.shopName = form.shopName->currentText();
    order.paymentMethod = form.paymentMethod->currentText();
    order.orderTime = form.orderTime->text();
    for (int row = 0; row < form.grid->rowCount(); ++row)
        order.lines.append({cellText(form.grid, row, 0), cellText(form.grid, row, 1), cellText(form.grid, row, 2),
                            cellText(form.grid, row, 3)});
    order.discountName = form.discount->currentText();
    order.discountPortions = form.discountPortions->text();
    order.discountAmount = form.discountAmount->text();
    order.total = form.total->text();
    order.paid = form.paid->text();
    order.table = form.table->currentText();
    order.customerName = form.name->text();
    order.phone = form.phone->text();
    order.address = form.address->text();
    order.remark = form.remark->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return order;
}

std::unique_ptr<PrintBackend> makePrintBackend(DataStore &store, const ProgramPaths &paths, Prompter &prompter,
                                               QWidget *owner)
{
    RecordTable records(store);
    if (records.read(printOutputKey()) == escPosOutputValue()) {
        const EscPosSettings settings = loadEscPosSettings(records);
        const bool narrow = integerValue(records.read(QStringLiteral("小票类型"))) == 0;
        return std::make_unique<EscPosBackend>(escPosTarget(settings), escPosDotWidth(settings, narrow),
                                               escPosEncoding(settings), &prompter, owner);
    }
    if (records.read(printOutputKey()) == QStringLiteral("1"))
        return std::make_unique<PdfFolderBackend>(
            records.read(pdfFolderKey(), paths.home + QStringLiteral("/receipts")));
    return std::make_unique<SystemPrintBackend>(owner);
}

} // namespace vorlan
