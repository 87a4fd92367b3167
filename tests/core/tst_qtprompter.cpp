#include "core/ui/qtprompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace vorlan;

Q_DECLARE_METATYPE(vorlan::PromptDefault)

class TestQtPrompter : public QObject
{
    Q_OBJECT
private slots:
    // A real question box: Enter picks the default button the caller named.
    void enterChoosesTheDefaultButton_data()
    {
        QTest::addColumn<PromptDefault>("defaultButton");
        QTest::addColumn<bool>("answer");
        QTest::newRow("default Yes") << PromptDefault::Yes << true;
        QTest::newRow("default No") << PromptDefault::No << false;
    }
    void enterChoosesTheDefaultButton()
    {
        QFETCH(PromptDefault, defaultButton);
        QFETCH(bool, answer);
        QWidget owner;
        owner.show();
        QString shownDefault;
        bool closedByEnter = false;
        // Runs inside the box's own event loop and always closes the box, so nothing waits.
        std::function<void()> pressEnter = [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return QTimer::singleShot(10, &owner, pressEnter);
            shownDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Return); // where the focus is
            closedByEnter = !box->isVisible();
            if (!closedByEnter)
                box->done(QMessageBox::Cancel);
        };
        QTimer::singleShot(0, &owner, pressEnter);
        const bool result = QtPrompter().ask(&owner, PromptIcon::Warning, QStringLiteral("提示"), QStringLiteral("是否修改？"),
                                             defaultButton);
        QVERIFY(closedByEnter);
        QCOMPARE(shownDefault, answer ? QStringLiteral("是(&Y)") : QStringLiteral("否(&N)"));
        QCOMPARE(result, answer);
    }
};

QTEST_MAIN(TestQtPrompter)
#include "tst_qtprompter.moc"
