#include "core/real_environment.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The real launcher of the program menu, on a program of our own under the menu's name.
class TestProcessLauncher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void startsWithoutWaiting_data();
    void startsWithoutWaiting();
};

void TestProcessLauncher::startsWithoutWaiting_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<bool>("executable");
    QTest::addColumn<QString>("error");
    QTest::newRow("starts, with its argument") << true << true << QString();
    QTest::newRow("missing") << false << false << "ファイルがありません";
    QTest::newRow("not a program") << true << false << "実行できません";
}

void TestProcessLauncher::startsWithoutWaiting()
{
    QFETCH(bool, present);
    QFETCH(bool, executable);
    QFETCH(QString, error);
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("起動");
    const QString program = dir.path() + "/起動/プログラムメニューc.exe";
    const QString started = dir.path() + "/started.txt";
    if (present) {
        QFile script(program);
        QVERIFY(script.open(QIODevice::WriteOnly));
        // Still running after start() has returned: the launcher does not wait for it.
        script.write(QStringLiteral("#!/bin/sh\nsleep 0.3\necho \"$1\" > '%1'\n").arg(started).toUtf8());
        script.close();
        if (executable)
            QVERIFY(script.setPermissions(script.permissions() | QFile::ExeOwner));
    }

    DetachedProcessLauncher launcher;
    QString reason;
    QCOMPARE(launcher.start(program, {QStringLiteral("001")}, &reason), error.isEmpty());
    QCOMPARE(reason, error);
    if (!error.isEmpty())
        return;
    QVERIFY(!QFile::exists(started));
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(started) && QFile(started).size() > 0, 10'000);
    QFile output(started);
    QVERIFY(output.open(QIODevice::ReadOnly));
    QCOMPARE(output.readAll(), QByteArray("001\n"));
}

QTEST_GUILESS_MAIN(TestProcessLauncher)
#include "test_process_launcher.moc"
