#pragma once

#include "core/paths.h"

#include <QByteArray>
#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace vorlan {

class DataStore;
class EscPosSettingsPanel;
class Prompter;

// 记录 keys of the printer choice: 打印输出 "1" sends receipts to PDF files in the folder
// PDF文件夹 instead of the system print dialog.
QString printOutputKey();
QString pdfFolderKey();

// 打印设置: paper width, default or custom profile, the two extra lines, the two pictures,
// eleven font sizes and bold flags, copies, and where receipts are printed.
class PrintSettingsWindow final : public QDialog
{
    Q_OBJECT
public:
    PrintSettingsWindow(DataStore &store, ProgramPaths paths, Prompter &prompter, std::function<void()> refreshPreview,
                        QWidget *owner);

    // "应用设置": validates, stores, redraws the preview. False when validation refused
    // or the settings could not be stored (the operator has been told; nothing changed).
    bool apply();
    bool validatePrintSettings();

    // Folder picker for the PDF output; tests replace it.
    std::function<QString(QWidget *owner, const QString &current)> chooseFolder;

private:
    void load();
    bool savePrintSettings();
    void setPresetControlsDisabled(bool disabled);
    void showOutput(int index);
    void choosePicture(QLineEdit *pathEdit, QLabel *box, QByteArray &data);
    void checkPictureSize(const QImage &picture);
    bool checkSize(QLineEdit *edit, bool zeroAllowed);

    DataStore &m_store;
    ProgramPaths m_paths;
    Prompter &m_prompter;
    std::function<void()> m_refreshPreview;

    QComboBox *m_paperType = nullptr;     // 组合框_小票类型
    QComboBox *m_profileType = nullptr;   // 组合框_设置类型
    QTabWidget *m_tabs = nullptr;         // 选择夹1
    QLineEdit *m_copies = nullptr;        // 编辑框份数
    QCheckBox *m_extra[2] = {};           // 选择框1, 选择框2
    QLineEdit *m_extraText[2] = {};       // 编辑框1, 编辑框2
    QCheckBox *m_pictureOn[2] = {};       // 选择框3, 选择框4
    QLineEdit *m_picturePath[2] = {};     // 编辑框_顶部图片, 编辑框_底部图片
    QPushButton *m_pictureButton[2] = {}; // 顶部图片选择按钮1, 顶部图片选择按钮2
    QLabel *m_pictureBox[2] = {};         // 图片框1, 图片框2
    QByteArray m_pictureData[2];          // the chosen files, byte for byte
    std::array<QLineEdit *, 11> m_sizes{};
    std::array<QCheckBox *, 11> m_bolds{};
    QComboBox *m_output = nullptr;        // 组合框_打印输出
    QLineEdit *m_pdfFolder = nullptr;     // 编辑框_PDF文件夹
    QPushButton *m_pdfFolderButton = nullptr;
    QWidget *m_pdfPart = nullptr;
    EscPosSettingsPanel *m_thermal = nullptr; // the thermal printer's fields and 测试打印
};

} // namespace vorlan
