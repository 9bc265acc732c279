#include "ui/qtprompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

// The confirmation box as the user answers it with the keyboard.
class QtPromptsTest : public QObject
{
    Q_OBJECT

private slots:
    void keyboardAnswers_data();
    void keyboardAnswers();
};

void QtPromptsTest::keyboardAnswers_data()
{
    QTest::addColumn<bool>("defaultNo");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("answer");

    QTest::newRow("Enter, default Yes") << false << int(Qt::Key_Return) << true;
    QTest::newRow("Enter, default No") << true << int(Qt::Key_Return) << false;
    QTest::newRow("keypad Enter, default No") << true << int(Qt::Key_Enter) << false;
    QTest::newRow("Escape, default Yes") << false << int(Qt::Key_Escape) << false;
    QTest::newRow("Escape, default No") << true << int(Qt::Key_Escape) << false;
}

void QtPromptsTest::keyboardAnswers()
{
    QFETCH(bool, defaultNo);
    QFETCH(int, key);
    QFETCH(bool, answer);

    bool pressed = false;
    // The key goes where the keyboard focus of the box is, as a real key press would.
    QTimer::singleShot(0, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QWidget* target = box->focusWidget() ? box->focusWidget() : box;
        QTest::keyClick(target, Qt::Key(key));
        pressed = true;
        if (box->isVisible())
            box->done(QMessageBox::Yes);
    });
    QtPrompts prompts;
    const Prompts::Default defaultButton = defaultNo ? Prompts::Default::No : Prompts::Default::Yes;
    QCOMPARE(prompts.confirm(QStringLiteral("Wollen Sie die markierten Funktionen löschen?"), defaultButton),
             answer);
    QVERIFY(pressed);
}

QTEST_MAIN(QtPromptsTest)
#include "tst_qtprompts.moc"
