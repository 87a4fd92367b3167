#include "printsettings.h"

#include "core/savefile.h"

#include "core/datastore.h"
#include "core/paths.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <algorithm>

namespace vorlan {

namespace {

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

// A picture file as it was before a save, to put back when the save fails later on.
struct PictureBackup {
    QString path;
    bool existed = false;
    QByteArray bytes;
};

bool restore(const PictureBackup &backup)
{
    if (!backup.existed)
        return !QFile::exists(backup.path) || QFile::remove(backup.path);
    QSaveFile out(backup.path);
    return out.open(QIODevice::WriteOnly) && out.write(backup.bytes) == backup.bytes.size() && commitSaveFile(out);
}

} // namespace

ReceiptOutput receiptOutput(const QString &stored)
{
    if (stored == QStringLiteral("1"))
        return ReceiptOutput::PdfFolder;
    if (stored == QStringLiteral("2"))
        return ReceiptOutput::ThermalPrinter;
    return ReceiptOutput::Printer;
}

int clampCopies(int copies) { return std::clamp(copies, 1, kMaxCopies); }

PrintSettings readPrintSettings(DataStore &store)
{
    using namespace recordkey;
    RecordTable records(store);
    const QString one = QStringLiteral("1");
    PrintSettings s;
    s.paperType = integerValue(records.read(PaperType));
    s.profileType = integerValue(records.read(ProfileType));
    s.extraOn = {records.read(Extra1On) == one, records.read(Extra2On) == one};
    s.extraText = {records.read(Extra1), records.read(Extra2)};
    s.pictureOn = {records.read(TopPictureOn) == one, records.read(BottomPictureOn) == one};
    s.copies = integerValue(records.read(Copies));
    const QStringList sizes = profileParts(records.read(FontSizes), ReceiptSlotCount);
    const QStringList bolds = profileParts(records.read(FontBolds), ReceiptSlotCount);
    for (int n = 0; n < ReceiptSlotCount; ++n) {
        s.sizes[n] = integerValue(sizes.at(n));
        s.bolds[n] = integerValue(bolds.at(n)) != 0;
    }
    s.output = receiptOutput(records.read(PrintOutput));
    s.pdfFolder = records.read(PdfFolder);
    s.thermal = loadEscPosSettings(records);
    return s;
}

bool printProfileExists(DataStore &store) { return RecordTable(store).exists(recordkey::FontSizes); }

std::optional<QString> savePrintSettings(DataStore &store, const ProgramPaths &paths, const PrintSettings &s,
                                         const PictureReplacements &pictures)
{
    using namespace recordkey;
    QStringList sizes;
    QStringList bolds;
    for (int n = 0; n < ReceiptSlotCount; ++n) {
        sizes.append(QString::number(s.sizes[n]));
        bolds.append(flag(s.bolds[n]));
    }
    QList<std::pair<QString, QString>> values = {
        {PaperType, QString::number(std::max(s.paperType, 0))},
        {ProfileType, QString::number(std::max(s.profileType, 0))},
        {Extra1On, flag(s.extraOn[0])},
        {Extra2On, flag(s.extraOn[1])},
        {Extra1, s.extraText[0]},
        {Extra2, s.extraText[1]},
        {TopPictureOn, flag(s.pictureOn[0])},
        {BottomPictureOn, flag(s.pictureOn[1])},
        {Copies, QString::number(s.copies)},
        {FontSizes, sizes.join(u'|')},
        {FontBolds, bolds.join(u'|')},
        {PrintOutput, QString::number(int(s.output))},
        {PdfFolder, s.pdfFolder},
    };
    values += escPosSettingsRecords(s.thermal);

    // The records are written first, inside the transaction; the pictures are replaced
    // just before it commits, and put back should the commit fail.
    const QString files[2] = {paths.topPicture(), paths.bottomPicture()};
    QList<PictureBackup> replaced;
    QString failure;
    RecordTable records(store);
    const bool saved = inTransaction(store, [&] {
        for (const auto &[key, value] : values)
            if (!records.write(key, value)) {
                failure = store.lastError();
                return false;
            }
        for (int i = 0; i < 2; ++i) {
            if (!pictures[i])
                continue;
            PictureBackup backup{files[i], QFile::exists(files[i]), {}};
            if (backup.existed) {
                QFile old(files[i]);
                if (!old.open(QIODevice::ReadOnly)) {
                    failure = QStringLiteral("无法读取图片 %1").arg(QDir::toNativeSeparators(files[i]));
                    return false;
                }
                backup.bytes = old.readAll();
            }
            QDir().mkpath(paths.dataDir());
            QSaveFile out(files[i]);
            if (!out.open(QIODevice::WriteOnly) || out.write(*pictures[i]) != pictures[i]->size() || !commitSaveFile(out)) {
                failure = QStringLiteral("图片保存失败：%1").arg(QDir::toNativeSeparators(files[i]));
                return false;
            }
            replaced.append(backup);
        }
        return true;
    });
    if (saved)
        return std::nullopt;
    for (const PictureBackup &backup : replaced)
        restore(backup);
    return failure.isEmpty() ? store.lastError() : failure;
}

} // namespace vorlan
