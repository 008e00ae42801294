#include "core/real_environment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

Q_DECLARE_METATYPE(DialogButtons)
Q_DECLARE_METATYPE(DialogAnswer)

// The real seams where a test can run them: the program menu's launcher, on a program
// of our own under the menu's name, and the message boxes.
class TestRealEnvironment : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsWithoutWaiting_data();
    void startsWithoutWaiting();
    void messageBoxButtonsInJapanese_data();
    void messageBoxButtonsInJapanese();
};

void TestRealEnvironment::startsWithoutWaiting_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("error");
    QTest::newRow("starts, with its argument") << true << true << QString();
    QTest::newRow("missing") << false << false << "ファイルがありません";
    QTest::newRow("not a program") << true << false << "実行できません";
}

void TestRealEnvironment::startsWithoutWaiting()
{
    QFETCH(bool, present);
    QFETCH(bool, executable);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("起動");
    const QString program = dir.path() + "/起動/プログラムメニューc.exe";
    const QString started = dir.path() + "/started.txt";
    qputenv("RANVEX_FAKE_MENU_OUTPUT", QDir::toNativeSeparators(started).toLocal8Bit());
    if (present && executable) {
        QVERIFY(QFile::copy(QStringLiteral(FAKE_PROGRAM_MENU), program));
    } else if (present) {
        // Text, not a program: without the right to run it, or not a program the
        // system can run.
        QFile text(program);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a program\n");
        text.close();
        QVERIFY(text.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    }

    DetachedProcessLauncher launcher;
    QString reason;
    QCOMPARE(launcher.start(QDir::toNativeSeparators(program), {QStringLiteral("001")}, &reason), error.isEmpty());
    QCOMPARE(reason, error);
    if (!error.isEmpty())
        return;
    // Still running after start() has returned: the launcher does not wait for it.
    QVERIFY(!QFile::exists(started));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started) && QFile(started).size() > 0, 10'000);
    QFile output(started);
    QVERIFY(output.open(QIODevice::ReadOnly));
    QCOMPARE(output.readAll(), QByteArray("001\n"));
}

void TestRealEnvironment::messageBoxButtonsInJapanese_data()
{
    QTest::addColumn<DialogButtons>("buttons");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<DialogAnswer>("answer"); // of the last button, the one pressed
    QTest::newRow("OK") << DialogButtons::Ok << QStringList{"OK"} << DialogAnswer::Ok;
    QTest::newRow("OK, Cancel") << DialogButtons::OkCancel << QStringList{"OK", "キャンセル"}
                                << DialogAnswer::Cancel;
    QTest::newRow("Yes, No") << DialogButtons::YesNo << QStringList{"はい", "いいえ"} << DialogAnswer::No;
}

void TestRealEnvironment::messageBoxButtonsInJapanese()
{
    QFETCH(DialogButtons, buttons);
    QFETCH(QStringList, captions);
    QFETCH(DialogAnswer, answer);
    QStringList shown;
    // Answers the box once it is up.
    QTimer answering;
    connect(&answering, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        answering.stop();
        const QList<QAbstractButton *> all = box->buttons();
        for (QAbstractButton *button : all)
            shown << button->text();
        QAbstractButton *pressed =
            all.size() == 1
                ? all[0]
                : box->button(answer == DialogAnswer::Cancel ? QMessageBox::Cancel : QMessageBox::No);
        pressed->click();
    });
    answering.start(10);
    WidgetDialogs dialogs;
    QCOMPARE(dialogs.message(QStringLiteral("先生を呼びなさい"), QString(), buttons), answer);
    shown.sort();
    captions.sort();
    QCOMPARE(shown, captions);
}

QTEST_MAIN(TestRealEnvironment)
#include "test_real_environment.moc"
