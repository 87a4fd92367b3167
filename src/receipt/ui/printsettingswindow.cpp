#include "printsettingswindow.h"

#include "receipt/defaultpictures.h"
#include "receipt/escpos/ui/escpossettingspanel.h"
#include "receipt/printsettings.h"
#include "receipt/receiptprofile.h"

#include "core/datastore.h"
#include "core/ui/named.h"
#include "core/prompter.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace vorlan {

namespace {

const char16_t *const kSlotLabels[] = {u"票头：",     u"店铺名称：", u"支付方式：", u"下单时间：",
                                       u"表单标题：", u"表单内容：", u"合计：",     u"减免标题：",
                                       u"减免内容：", u"已支付：",   u"桌号送餐信息："};

const int kPaidRow = 9; // row 10: 已支付

QPixmap fitted(const QImage &picture, const QSize &box)
{
    if (picture.isNull())
        return QPixmap();
    return QPixmap::fromImage(picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

QString printOutputKey() { return recordkey::PrintOutput; }
QString pdfFolderKey() { return recordkey::PdfFolder; }

PrintSettingsWindow::PrintSettingsWindow(DataStore &store, ProgramPaths paths, Prompter &prompter,
                                         std::function<void()> refreshPreview, QWidget *owner)
    : QDialog(owner)
    , m_store(store)
    , m_paths(std::move(paths))
    , m_prompter(prompter)
    , m_refreshPreview(std::move(refreshPreview))
{
    setObjectName(QStringLiteral("打印设置"));
    setWindowTitle(QStringLiteral("打印设置"));
    chooseFolder = [](QWidget *parent, const QString &current) {
        return QFileDialog::getExistingDirectory(parent, QStringLiteral("选择保存PDF小票的文件夹"), current);
    };

    // Paper and profile.
    auto *typeLabel = named(new QLabel(QStringLiteral("小票类型："), this), QStringLiteral("透明标签2"));
    m_paperType = named(new QComboBox(this), QStringLiteral("组合框_小票类型"));
    m_paperType->addItems({QStringLiteral("58小票"), QStringLiteral("80小票")});
    m_profileType = named(new QComboBox(this), QStringLiteral("组合框_设置类型"));
    m_profileType->addItems({QStringLiteral("默认设置"), QStringLiteral("自定义")});
    auto *top = new QHBoxLayout;
    top->addWidget(typeLabel);
    top->addWidget(m_paperType, 1);
    top->addSpacing(8);
    top->addWidget(m_profileType, 1);

    m_tabs = named(new QTabWidget(this), QStringLiteral("选择夹1"));

    // Page 设置: extra lines and pictures.
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(8, 8, 8, 8);
    pageLayout->setSpacing(4);
    const QString extraNames[2] = {QStringLiteral("1"), QStringLiteral("2")};
    const QString designTexts[2] = {QStringLiteral("订餐电话:1590000****"), QStringLiteral("订餐微信号:qmpt****")};
    for (int i = 0; i < 2; ++i) {
        m_extra[i] = named(new QCheckBox(QStringLiteral("打印附带信息%1：").arg(i + 1), page),
                           QStringLiteral("选择框") + extraNames[i]);
        m_extraText[i] = named(new QLineEdit(designTexts[i], page), QStringLiteral("编辑框") + extraNames[i]);
        auto *row = new QHBoxLayout;
        row->addWidget(m_extra[i]);
        row->addWidget(m_extraText[i], 1);
        pageLayout->addLayout(row);
    }
    const QString pictureCaptions[2] = {QStringLiteral("打印顶部图片："), QStringLiteral("打印底部图片：")};
    const QString pathNames[2] = {QStringLiteral("编辑框_顶部图片"), QStringLiteral("编辑框_底部图片")};
    for (int i = 0; i < 2; ++i) {
        pageLayout->addSpacing(6);
        m_pictureOn[i] = named(new QCheckBox(pictureCaptions[i], page), QStringLiteral("选择框%1").arg(i + 3));
        m_picturePath[i] = named(new QLineEdit(page), pathNames[i]);
        m_picturePath[i]->setReadOnly(true);
        m_picturePath[i]->setPlaceholderText(QStringLiteral("未选择新图片"));
        m_pictureButton[i] = named(new QPushButton(QStringLiteral("选择"), page), QStringLiteral("顶部图片选择按钮%1").arg(i + 1));
        m_pictureButton[i]->setFixedWidth(52);
        auto *row = new QHBoxLayout;
        row->addWidget(m_pictureOn[i]);
        row->addWidget(m_picturePath[i], 1);
        row->addWidget(m_pictureButton[i]);
        pageLayout->addLayout(row);
        m_pictureBox[i] = named(new QLabel(page), QStringLiteral("图片框%1").arg(i + 1));
        m_pictureBox[i]->setFixedSize(288, 120);
        m_pictureBox[i]->setAlignment(Qt::AlignCenter);
        m_pictureBox[i]->setStyleSheet(QStringLiteral("QLabel { background: white; border: 1px solid #b8c4d0; }"));
        pageLayout->addWidget(m_pictureBox[i], 0, Qt::AlignHCenter);
        connect(m_pictureButton[i], &QPushButton::clicked, this,
                [this, i] { choosePicture(m_picturePath[i], m_pictureBox[i], m_pictureData[i]); });
    }
    pageLayout->addStretch(1);
    m_tabs->addTab(page, QStringLiteral("设置"));

    // Page 字体设置: eleven rows of size and weight.
    auto *fonts = new QWidget;
    auto *fontLayout = new QVBoxLayout(fonts);
    fontLayout->setContentsMargins(10, 8, 10, 8);
    auto *note = new QLabel(QStringLiteral("字体大小允许的设定范围 7-30"), fonts);
    auto *noteExcept = new QLabel(QStringLiteral("（已支付除外）"), fonts);
    noteExcept->setStyleSheet(QStringLiteral("color: #6b6b6b;"));
    auto *noteRow = new QHBoxLayout;
    noteRow->addWidget(note);
    noteRow->addWidget(noteExcept);
    noteRow->addStretch(1);
    fontLayout->addLayout(noteRow);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    for (int n = 0; n < 11; ++n) {
        auto *caption = new QLabel(QString::fromUtf16(kSlotLabels[n]), fonts);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_sizes[n] = named(new QLineEdit(fonts), QStringLiteral("编辑框字体大小%1").arg(n + 1));
        m_sizes[n]->setFixedWidth(56);
        m_sizes[n]->setMaxLength(4);
        m_bolds[n] = named(new QCheckBox(QStringLiteral("加粗"), fonts), QStringLiteral("选择框_加粗_%1").arg(n + 1));
        grid->addWidget(caption, n, 0);
        grid->addWidget(new QLabel(QStringLiteral("字体大小："), fonts), n, 1);
        grid->addWidget(m_sizes[n], n, 2);
        grid->addWidget(m_bolds[n], n, 3);
    }
    grid->setColumnStretch(4, 1);
    fontLayout->addLayout(grid);
    fontLayout->addStretch(1);
    m_tabs->addTab(fonts, QStringLiteral("字体设置"));

    // Page 打印输出: the system printer, a folder of PDF files or a thermal printer.
    auto *output = new QWidget;
    auto *outputLayout = new QVBoxLayout(output);
    outputLayout->setContentsMargins(10, 10, 10, 10);
    outputLayout->setSpacing(6);
    outputLayout->addWidget(new QLabel(QStringLiteral("小票打印到："), output));
    m_output = named(new QComboBox(output), QStringLiteral("组合框_打印输出"));
    m_output->addItems({QStringLiteral("打印机（打印时选择）"), QStringLiteral("PDF文件（保存到文件夹）"),
                        QStringLiteral("热敏打印机 (ESC/POS)")});
    outputLayout->addWidget(m_output);
    outputLayout->addSpacing(6);
    auto *pdfPart = m_pdfPart = new QWidget(output);
    auto *pdfLayout = new QVBoxLayout(pdfPart);
    pdfLayout->setContentsMargins(0, 0, 0, 0);
    pdfLayout->addWidget(new QLabel(QStringLiteral("PDF文件夹："), pdfPart));
    m_pdfFolder = named(new QLineEdit(pdfPart), QStringLiteral("编辑框_PDF文件夹"));
    m_pdfFolderButton = named(new QPushButton(QStringLiteral("选择"), pdfPart), QStringLiteral("按钮_PDF文件夹"));
    m_pdfFolderButton->setFixedWidth(52);
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(m_pdfFolder, 1);
    folderRow->addWidget(m_pdfFolderButton);
    pdfLayout->addLayout(folderRow);
    auto *outputNote = new QLabel(QStringLiteral("没有小票打印机时，每张小票保存为一个PDF文件，"
                                                 "纸宽与小票类型一致，长度与小票内容一致。"),
                                  pdfPart);
    outputNote->setWordWrap(true);
    outputNote->setStyleSheet(QStringLiteral("color: #6b6b6b;"));
    pdfLayout->addWidget(outputNote);
    outputLayout->addWidget(pdfPart);
    m_thermal = new EscPosSettingsPanel(m_prompter, output);
    m_thermal->narrowPaper = [this] { return m_paperType->currentIndex() == 0; };
    outputLayout->addWidget(m_thermal);
    outputLayout->addStretch(1);
    m_tabs->addTab(output, QStringLiteral("打印输出"));
    connect(m_output, &QComboBox::currentIndexChanged, this, &PrintSettingsWindow::showOutput);
    connect(m_pdfFolderButton, &QPushButton::clicked, this, [this] {
        const QString folder = chooseFolder ? chooseFolder(this, m_pdfFolder->text()) : QString();
        if (!folder.isEmpty())
            m_pdfFolder->setText(QDir::toNativeSeparators(folder));
    });

    // Copies and the two buttons.
    auto *copiesLabel = named(new QLabel(QStringLiteral("小票打印份数："), this), QStringLiteral("透明标签25"));
    m_copies = named(new QLineEdit(this), QStringLiteral("编辑框份数"));
    m_copies->setFixedWidth(48);
    auto *applyButton = named(new QPushButton(QStringLiteral("应用设置"), this), QStringLiteral("按钮2"));
    auto *confirmButton = named(new QPushButton(QStringLiteral("确认"), this), QStringLiteral("按钮1"));
    applyButton->setAutoDefault(false);
    confirmButton->setAutoDefault(false);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(copiesLabel);
    bottom->addWidget(m_copies);
    bottom->addStretch(1);
    bottom->addWidget(applyButton);
    bottom->addWidget(confirmButton);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(7, 8, 7, 8);
    outer->addLayout(top);
    outer->addWidget(m_tabs, 1);
    outer->addLayout(bottom);

    load();

    connect(m_profileType, &QComboBox::currentIndexChanged, this,
            [this](int index) { setPresetControlsDisabled(index == 0); });
    connect(m_copies, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (integerValue(text) < 1)
            m_copies->setText(QStringLiteral("1"));
    });
    connect(applyButton, &QPushButton::clicked, this, &PrintSettingsWindow::apply);
    connect(confirmButton, &QPushButton::clicked, this, [this] {
        if (apply())
            accept();
    });
    resize(331, 517);
}

void PrintSettingsWindow::load()
{
    const PrintSettings settings = readPrintSettings(m_store);
    m_paperType->setCurrentIndex(settings.paperType);
    m_profileType->setCurrentIndex(settings.profileType);
    if (m_profileType->currentIndex() == 0)
        setPresetControlsDisabled(true);
    m_extra[0]->setChecked(settings.extraOn[0]);
    m_extra[1]->setChecked(settings.extraOn[1]);

    const QString files[2] = {m_paths.topPicture(), m_paths.bottomPicture()};
    const QImage builtIn[2] = {defaultTopPicture(), defaultBottomPicture()};
    for (int i = 0; i < 2; ++i) {
        QImage picture;
        if (QFileInfo(files[i]).size() > 0)
            picture.load(files[i]);
        m_pictureBox[i]->setPixmap(fitted(picture.isNull() ? builtIn[i] : picture, m_pictureBox[i]->size()));
    }

    for (int i = 0; i < 2; ++i) {
        if (!settings.extraText[i].isEmpty())
            m_extraText[i]->setText(settings.extraText[i]);
        m_pictureOn[i]->setChecked(settings.pictureOn[i]);
        m_pictureButton[i]->setEnabled(true);
        m_extraText[i]->setEnabled(true);
    }
    m_copies->setText(RecordTable(m_store).read(recordkey::Copies));

    const QStringList sizes = profileParts(RecordTable(m_store).read(recordkey::FontSizes), ReceiptSlotCount);
    for (int n = 0; n < ReceiptSlotCount; ++n) {
        m_sizes[n]->setText(sizes.at(n));
        m_bolds[n]->setChecked(settings.bolds[n]);
    }

    m_thermal->setSettings(settings.thermal);
    m_output->setCurrentIndex(int(settings.output));
    showOutput(m_output->currentIndex());
    m_pdfFolder->setText(QDir::toNativeSeparators(settings.pdfFolder));
}

void PrintSettingsWindow::showOutput(int index)
{
    const bool thermal = index == int(ReceiptOutput::ThermalPrinter);
    m_pdfFolder->setEnabled(index == int(ReceiptOutput::PdfFolder));
    m_pdfFolderButton->setEnabled(index == int(ReceiptOutput::PdfFolder));
    m_pdfPart->setVisible(!thermal);
    m_thermal->setVisible(thermal);
}

void PrintSettingsWindow::setPresetControlsDisabled(bool disabled)
{
    for (int i = 0; i < 2; ++i) {
        m_pictureOn[i]->setDisabled(disabled);
        m_picturePath[i]->setDisabled(disabled);
        m_pictureButton[i]->setDisabled(disabled);
    }
    for (int n = 0; n < 11; ++n) {
        m_sizes[n]->setDisabled(disabled);
        m_bolds[n]->setDisabled(disabled);
    }
}

void PrintSettingsWindow::choosePicture(QLineEdit *pathEdit, QLabel *box, QByteArray &data)
{
    const QString path = m_prompter.openFile(this, QStringLiteral("选择图片"), QString(), QStringLiteral("PNG图片 (*.png)"));
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    data = file.readAll();
    pathEdit->setText(QDir::toNativeSeparators(path));
    const QImage picture = QImage::fromData(data);
    box->setPixmap(fitted(picture, box->size()));
    checkPictureSize(picture);
}

void PrintSettingsWindow::checkPictureSize(const QImage &picture)
{
    if (picture.width() > 430 || picture.height() > 430)
        m_prompter.message(this, PromptIcon::Warning, QString(),
                           QStringLiteral("选用图片时建议选用较低清晰度的图片，图片过于清晰将影响您的打印速度。"));
}

bool PrintSettingsWindow::checkSize(QLineEdit *edit, bool zeroAllowed)
{
    const int size = integerValue(edit->text());
    if ((zeroAllowed && size == 0) || (size >= 7 && size <= 30))
        return true;
    m_tabs->setCurrentIndex(1);
    edit->setFocus();
    edit->selectAll();
    m_prompter.info(this, zeroAllowed
                              ? QStringLiteral("已支付 字体大小超出设定，请将字体大小控制在数值 7-30 的范围内。\r\n"
                                               "注意：已支付 字体大小数值设置为 0 时打印及预览将不显示 已支付 ")
                              : QStringLiteral("字体大小超出设定，请将字体大小控制在数值 7-30 的范围内。"));
    return false;
}

bool PrintSettingsWindow::validatePrintSettings()
{
    const int copies = integerValue(m_copies->text());
    if (copies != clampCopies(copies))
        m_copies->setText(QString::number(clampCopies(copies)));

    if (!checkSize(m_sizes[kPaidRow], true))
        return false;
    for (int n = 0; n < 11; ++n)
        if (n != kPaidRow && !checkSize(m_sizes[n], false))
            return false;
    if (m_output->currentIndex() == int(ReceiptOutput::ThermalPrinter)) {
        m_tabs->setCurrentIndex(2);
        if (!m_thermal->validate())
            return false;
    }
    return true;
}

bool PrintSettingsWindow::apply()
{
    if (!validatePrintSettings())
        return false;
    // Without a profile the settings are refused with the program's own error number,
    // and the window closes as it always has; a failed save keeps it open.
    bool saved = true;
    if (printProfileExists(m_store))
        saved = savePrintSettings();
    else
        m_prompter.message(this, PromptIcon::None, QString(), QStringLiteral("设置失败.错误7763"));
    if (m_refreshPreview)
        m_refreshPreview();
    return saved;
}

bool PrintSettingsWindow::savePrintSettings()
{
    PrintSettings settings;
    settings.paperType = m_paperType->currentIndex();
    settings.profileType = m_profileType->currentIndex();
    for (int i = 0; i < 2; ++i) {
        settings.extraOn[i] = m_extra[i]->isChecked();
        settings.extraText[i] = m_extraText[i]->text();
        settings.pictureOn[i] = m_pictureOn[i]->isChecked();
    }
    settings.copies = integerValue(m_copies->text());
    for (int n = 0; n < ReceiptSlotCount; ++n) {
        settings.sizes[n] = integerValue(m_sizes[n]->text());
        settings.bolds[n] = m_bolds[n]->isChecked();
    }
    settings.output = ReceiptOutput(std::max(m_output->currentIndex(), 0));
    settings.pdfFolder = QDir::fromNativeSeparators(m_pdfFolder->text().trimmed());
    settings.thermal = m_thermal->settings();

    // The chosen files are copied as they are, not re-encoded.
    PictureReplacements pictures;
    for (int i = 0; i < 2; ++i)
        if (!m_picturePath[i]->text().isEmpty())
            pictures[i] = m_pictureData[i];
    if (const auto failure = vorlan::savePrintSettings(m_store, m_paths, settings, pictures)) {
        m_prompter.info(this, QStringLiteral("打印设置保存失败，设置没有改变：%1").arg(*failure));
        return false;
    }
    return true;
}

} // namespace vorlan
