#include "core/gbk.h"
#include "masterdata/pinyininitials.h"

#include <QTest>

using namespace vorlan;

class TestPinyin : public QObject
{
    Q_OBJECT
private slots:
    // Initials of the first reading the pinyin dataset gives, for hanzi of both levels.
    // Level 2 is ordered by radical, so its neighbours share no letter.
    void initialsOfSingleHanzi_data()
    {
        QTest::addColumn<QString>("hanzi");
        QTest::addColumn<QString>("initial");
        const char *cases[][2] = {
            // level 1, ordered by reading; several readings: the dataset's first counts
            {"啊", "a"}, {"酸", "s"}, {"辣", "l"}, {"土", "t"}, {"豆", "d"}, {"丝", "s"}, {"座", "z"},
            {"行", "h"}, // háng, xíng
            {"长", "c"}, // cháng, zhǎng
            {"重", "z"}, // zhòng, chóng
            {"乐", "l"}, // lè, yuè
            {"调", "t"}, // tiáo, diào
            {"厦", "s"}, // shà, xià
            // level 2, ordered by radical
            {"亍", "c"}, {"丌", "q"}, {"鬲", "g"}, {"孬", "n"}, {"噩", "e"}, {"夭", "y"}, {"卮", "z"},
            {"胤", "y"}, {"馗", "k"}, {"鼗", "t"}, {"亟", "j"}, {"乜", "m"}, {"芈", "m"}, {"厍", "s"},
            {"匚", "f"}, {"叵", "p"}, {"刂", "d"}, {"蒯", "k"}, {"劐", "h"}, {"冂", "j"}, {"亻", "r"},
            {"仨", "s"}, {"佤", "w"}, {"倜", "t"}, {"耄", "m"}, {"黻", "f"}, {"聿", "y"}, {"翊", "y"},
            {"虬", "q"}, {"蚩", "c"}, {"蛳", "s"}, {"蜇", "z"}, {"螽", "z"}, {"蠡", "l"}, {"罂", "y"},
            {"舐", "s"}, {"筮", "s"}, {"簋", "g"}, {"臬", "n"}, {"艨", "m"}, {"羝", "d"}, {"耋", "d"},
            {"嗯", "n"}, // ňg
            {"呒", "f"}, {"鼋", "y"}, {"鼍", "t"}, {"龈", "y"}, {"龌", "w"}, {"麾", "h"}, {"鼢", "f"},
            {"鼯", "w"}, {"鼹", "y"}, {"鼷", "x"},
            {"齄", "z"}, // the last GB2312 hanzi, F7FE
        };
        for (const auto &c : cases)
            QTest::newRow(c[0]) << QString::fromUtf8(c[0]) << QString::fromUtf8(c[1]);
    }
    void initialsOfSingleHanzi()
    {
        QFETCH(QString, hanzi);
        QFETCH(QString, initial);
        QCOMPARE(derivePinyinInitials(hanzi), initial);
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("letters");
        const char *cases[][2] = {
            {"酸辣土豆丝", "sltds"},
            {"王老吉330ml", "wlj330ml"},
            {"Coke 可乐!", "Coke kl!"}, // single-byte characters stay as they are
            {"(大)份-3.5", "(d)f-3.5"},
            {"，。！（）【】、“”", ""},   // full-width punctuation
            {"ＡＢ１２", ""},             // full-width letters and digits are double-byte symbols
            {"€·", ""},                   // A2E3, A1A4: symbols
            {"丂癅", ""},                 // GBK outside GB2312 (8140, B040)
            {"😀鱼", "y"},                // four-byte GB18030 gives nothing and leaves the next hanzi whole
            {"", ""},
        };
        for (const auto &c : cases)
            QTest::newRow(c[0]) << QString::fromUtf8(c[0]) << QString::fromUtf8(c[1]);
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(QString, letters);
        QCOMPARE(derivePinyinInitials(name), letters);
    }

    // The table covers all 6,763 GB2312 hanzi and nothing else: every place of rows
    // B0-F7 but the five unassigned ones at the end of row D7 has a letter.
    void tableCoversEveryHanzi()
    {
        int letters = 0;
        for (int lead = 0xA1; lead <= 0xFE; ++lead) {
            for (int trail = 0x40; trail <= 0xFE; ++trail) {
                const char c = pinyinInitial(uchar(lead), uchar(trail));
                const bool hanziPlace = lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1
                    && !(lead == 0xD7 && trail >= 0xFA);
                QVERIFY2(hanziPlace == (c != 0), qPrintable(QString::number(lead * 256 + trail, 16)));
                if (c) {
                    QVERIFY(c >= 'a' && c <= 'z');
                    ++letters;
                }
            }
        }
        QCOMPARE(letters, 6763);
    }

    // Every hanzi goes through the encoder to the same place of the table.
    void encoderReachesEveryHanzi()
    {
        for (int lead = 0xB0; lead <= 0xF7; ++lead) {
            for (int trail = 0xA1; trail <= 0xFE; ++trail) {
                const char c = pinyinInitial(uchar(lead), uchar(trail));
                if (!c)
                    continue;
                QByteArray bytes;
                bytes.append(char(lead)).append(char(trail));
                const QString hanzi = gbk::decode(bytes);
                QCOMPARE(hanzi.size(), 1);
                QCOMPARE(derivePinyinInitials(hanzi), QString(QLatin1Char(c)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPinyin)
#include "tst_pinyin.moc"
