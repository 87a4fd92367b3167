#include "core/gbk.h"
#include "core/settingsfile.h"

#include <QFile>
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

    void foreignBytesSurviveAnAppend()
    {
        const QByteArray odd("\xff\xfe junk = {\r\n", 14);
        writeBytes(path(), odd);
        readSetting(path(), "58小票打印宽度", "480", true);
        QVERIFY(bytesOf(path()).startsWith(odd));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
