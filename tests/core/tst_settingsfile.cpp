#include "core/gbk.h"
#include "core/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace vorlan;

namespace {
QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(QStringLiteral("配置文件.ini")); }

private slots:
    void cleanup() { QFile::remove(path()); }

    void firstPrintCreatesExactlyOneEntry()
    {
        QCOMPARE(readSetting(path(), "58小票打印宽度", "480", true), QStringLiteral("480"));
        QCOMPARE(bytesOf(path()), gbk::encode(QStringLiteral("58小票打印宽度 = {480}\r\n")));
        QCOMPARE(readSetting(path(), "80小票打印宽度", "700", true), QStringLiteral("700"));
        QCOMPARE(bytesOf(path()), gbk::encode(QStringLiteral("58小票打印宽度 = {480}\r\n80小票打印宽度 = {700}\r\n")));
        // found now: nothing more is written
        QCOMPARE(readSetting(path(), "58小票打印宽度", "999", true), QStringLiteral("480"));
        QCOMPARE(bytesOf(path()).count('\n'), 2);
    }

    void emptyValueIsReturnedAndFileUntouched()
    {
        const QByteArray original = gbk::encode(QStringLiteral("58小票打印宽度 = {}\r\n"));
        writeBytes(path(), original);
        QCOMPARE(readSetting(path(), "58小票打印宽度", "480", true), QString());
        QCOMPARE(bytesOf(path()), original);
    }

    void keysIgnoreAsciiCaseValuesDoNot()
    {
        writeBytes(path(), gbk::encode(QStringLiteral("tx = {y}\r\ndhh = {电话:123}")));
        QCOMPARE(readSetting(path(), "TX", "", false), QStringLiteral("y"));
        QCOMPARE(readSetting(path(), "DHH", "", false), QStringLiteral("电话:123"));
    }

    void missingKeyWithoutCreateLeavesNoFile()
    {
        QCOMPARE(readSetting(path(), "QQ", "fallback", false), QStringLiteral("fallback"));
        QVERIFY(!QFile::exists(path()));
    }

    void appendsAfterAnUnterminatedLastLine()
    {
        writeBytes(path(), gbk::encode(QStringLiteral("TX = {Y}")));
        readSetting(path(), "58小票打印宽度", "480", true, QStringLiteral(" ;宽度"));
        QCOMPARE(bytesOf(path()), gbk::encode(QStringLiteral("TX = {Y}58小票打印宽度 = {480} ;宽度\r\n")));
    }

    void fileEndingInsideACharacterIsNotAppendedTo()
    {
        // Glued onto half a character, an appended entry would be lost in it and written
        // again at every start: such a file is left as it is, and the reason told.
        writeBytes(path(), QByteArray("TX = {Y}\xD6"));
        QString problem;
        QCOMPARE(readSetting(path(), "DHH", "1", true, {}, &problem), QStringLiteral("1"));
        QVERIFY(!problem.isEmpty());
        QCOMPARE(bytesOf(path()), QByteArray("TX = {Y}\xD6"));
        QCOMPARE(readSetting(path(), "TX", "N", true), QStringLiteral("Y"));
    }

    void tailOfALongerKeyMatches()
    {
        writeBytes(path(), gbk::encode(QStringLiteral("OLDTX = {Y}\r\n")));
        QCOMPARE(readSetting(path(), "TX", "", false), QStringLiteral("Y"));
    }

    void missingEndMarkerGivesEmpty()
    {
        writeBytes(path(), gbk::encode(QStringLiteral("DHH = {电话")));
        QCOMPARE(readSetting(path(), "DHH", "x", true), QString());
    }

    void quoteMarkerInKeys()
    {
        writeBytes(path(), QByteArray("\"A\" = {1}"));
        QCOMPARE(readSetting(path(), "#引号A#引号", "", false), QStringLiteral("1"));
    }

    void fileThatIsNotGbkIsReadButNeverRewritten()
    {
        const QByteArray odd = QByteArray("TX = {Y}\r\n\x81\x30 junk = {\r\n");
        writeBytes(path(), odd);
        QVERIFY(settingsFileProblem(path()));
        QString problem;
        QCOMPARE(readSetting(path(), "TX", "", false, {}, &problem), QStringLiteral("Y"));
        QVERIFY(problem.isEmpty());
        QCOMPARE(readSetting(path(), "58小票打印宽度", "480", true, {}, &problem), QStringLiteral("480"));
        QVERIFY(!problem.isEmpty());
        QCOMPARE(bytesOf(path()), odd);
    }

    void unreadableFileKeepsItsPlace()
    {
        // Something that exists but cannot be read as a file (works as root too).
        QVERIFY(QDir().mkpath(path()));
        QVERIFY(settingsFileProblem(path()));
        QString problem;
        QCOMPARE(readSetting(path(), "58小票打印宽度", "480", true, {}, &problem), QStringLiteral("480"));
        QVERIFY(problem.contains(QStringLiteral("无法读取")));
        QVERIFY(QFileInfo(path()).isDir());
        QVERIFY(QDir().rmdir(path()));
    }

    void failedAppendIsReported()
    {
        const QString inMissingFolder = m_dir.filePath(QStringLiteral("missing/配置文件.ini"));
        QString problem;
        QCOMPARE(readSetting(inMissingFolder, "58小票打印宽度", "480", true, {}, &problem), QStringLiteral("480"));
        QVERIFY(problem.contains(QStringLiteral("无法写入")));
        QVERIFY(!QFile::exists(inMissingFolder));
        QVERIFY(!settingsFileProblem(path())); // no file yet is no problem
    }

    void gbkWidthsAndChecks()
    {
        QVERIFY(gbk::available());
        QCOMPARE(gbk::byteWidth(QStringLiteral("a中")), 3);
        QCOMPARE(gbk::byteWidth(QStringLiteral("￥")), 2);
        // Not in GBK: GB18030 writes four bytes, and the width says so.
        for (const QString &outside : {QStringLiteral("À"), QStringLiteral("😀"), QStringLiteral("₿")}) {
            QCOMPARE(gbk::byteWidth(outside), 4);
            QCOMPARE(gbk::encode(outside).size(), 4);
        }
        QCOMPARE(gbk::byteWidth(QStringLiteral("¥")), gbk::encode(QStringLiteral("¥")).size());
        QCOMPARE(gbk::decodeStrict(gbk::encode(QStringLiteral("中文，测试"))), std::optional<QString>(QStringLiteral("中文，测试")));
        QVERIFY(!gbk::decodeStrict(QByteArray("ab\xff\xff", 4)));
        QVERIFY(!gbk::decodeStrict(QByteArray("ab\x81\x30", 4))); // cut off in the middle
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
