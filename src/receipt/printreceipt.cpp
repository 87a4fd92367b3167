#include "printreceipt.h"

#include "printbackend.h"
#include "printsettings.h"
#include "receiptlayout.h"
#include "receiptprofile.h"

#include "core/paths.h"
#include "core/recordkeys.h"
#include "core/recordtable.h"
#include "core/settingsfile.h"

#include <QFileInfo>
#include <QImage>

#include <optional>

namespace vorlan {

namespace {

bool isNarrowPaper(RecordTable &records) { return integerValue(records.read(recordkey::PaperType)) == 0; }

std::optional<QImage> loadIfPresent(bool on, const QString &path)
{
    if (!on || !QFileInfo::exists(path))
        return std::nullopt;
    QImage picture(path);
    if (picture.isNull())
        return std::nullopt;
    return picture;
}

const QImage *pointer(const std::optional<QImage> &picture) { return picture ? &*picture : nullptr; }

} // namespace

int receiptPaperWidth(DataStore &store, const QString &configPath, QString *problem)
{
    RecordTable records(store);
    const bool narrow = isNarrowPaper(records);
    const QString key = narrow ? QStringLiteral("58小票打印宽度") : QStringLiteral("80小票打印宽度");
    const QString fallback = narrow ? QStringLiteral("480") : QStringLiteral("700");
    const int width = integerValue(readSetting(configPath, key, fallback, true, {}, problem));
    // A damaged entry would lay the receipt out on nothing; print at the default width.
    return width > 0 ? width : fallback.toInt();
}

int receiptPaperRollWidth(DataStore &store)
{
    RecordTable records(store);
    return isNarrowPaper(records) ? 580 : 800;
}

bool printReceipt(DataStore &store, const ProgramPaths &paths, const ReceiptSnapshot &order, PrintBackend &backend,
                  bool singleCopy, QString *settingsProblem)
{
    RecordTable records(store);
    const ReceiptProfile profile = loadReceiptProfile(records);
    const int width = backend.layoutWidth(receiptPaperWidth(store, paths.configPath(), settingsProblem));
    const int rollWidth = receiptPaperRollWidth(store);
    const std::optional<QImage> top = loadIfPresent(profile.switches[SwitchTopPicture].on, paths.topPicture());
    const std::optional<QImage> bottom = loadIfPresent(profile.switches[SwitchBottomPicture].on, paths.bottomPicture());
    const QString title = receiptTitleText(order);

    auto draw = [&](ReceiptCanvas &canvas, bool withPictures) {
        int y = 0;
        if (withPictures && profile.switches[SwitchTopPicture].on)
            drawPicture(canvas, width, y, pointer(top));
        renderReceiptBody(canvas, profile, width, title, order, y);
        if (withPictures && profile.switches[SwitchBottomPicture].on)
            drawPicture(canvas, width, y, pointer(bottom));
        return y;
    };

    // The page is as long as the receipt, so measure it before the job starts.
    const std::unique_ptr<ReceiptCanvas> ruler = backend.measuringCanvas();
    const int firstLength = draw(*ruler, true);

    ReceiptCanvas *canvas = backend.beginJob(true, rollWidth, width, firstLength);
    if (!canvas)
        return false;
    draw(*canvas, true);
    if (!backend.endJob())
        return false;

    if (singleCopy)
        return true;
    // A hand-edited 999 must not run the roll out.
    const int copies = clampCopies(integerValue(records.read(recordkey::Copies)));
    if (copies <= 1)
        return true;
    const int copyLength = draw(*ruler, false);
    for (int k = 1; k < copies; ++k) {
        canvas = backend.beginJob(false, rollWidth, width, copyLength);
        if (!canvas)
            return false;
        draw(*canvas, false);
        if (!backend.endJob())
            return false;
    }
    return true;
}

} // namespace vorlan
