#include "core/real_environment.h"
#include "drill/sound_output.h"
#include "drill/wave_tone.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#ifndef Q_OS_WIN
#include <QAudioDevice>
#include <QMediaDevices>
#endif

// The real player against the real audio server that the test session provides (a
// PulseAudio null sink when the machine has no sound card).
class TestSoundOutput : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void waveLength_data();
    void waveLength();
    void playsToTheEndWhileEventsRun();
    void failsWithCodeAndText_data();
    void failsWithCodeAndText();

private:
    QTemporaryDir m_dir;
};

void TestSoundOutput::waveLength_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("milliseconds"); // -1: not a playable wave

    QTest::newRow("half a second") << toneWave({{440, 500}}) << 500;
    QTest::newRow("two tones and a pause") << toneWave({{660, 100}, {0, 200}, {880, 100}}) << 400;
    QTest::newRow("8 kHz") << toneWave({{440, 1000}}, 8000) << 1000;
    QTest::newRow("empty") << QByteArray() << -1;
    QTest::newRow("text") << QByteArray("this is no wave file at all") << -1;
    QByteArray noData = toneWave({{440, 100}});
    noData.truncate(36);
    QTest::newRow("no data chunk") << noData << -1;
    QByteArray compressed = toneWave({{440, 100}});
    compressed[20] = 2; // ADPCM
    QTest::newRow("compressed") << compressed << -1;
    QByteArray cut = toneWave({{440, 1000}});
    cut.truncate(44 + 22050); // half the samples
    QTest::newRow("cut short plays what is there") << cut << 500;
}

void TestSoundOutput::waveLength()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, milliseconds);
    const std::optional<int> length = waveDurationMs(bytes);
    QCOMPARE(length.value_or(-1), milliseconds);
}

// With RANVEX_NO_SOUND_DEVICE set, the test runs where the audio system has no device
// (test_sound_output_without_device): the drill must hear of the failure and go on.
void TestSoundOutput::playsToTheEndWhileEventsRun()
{
    const bool noDevice = qEnvironmentVariableIsSet("RANVEX_NO_SOUND_DEVICE");
#ifndef Q_OS_WIN
    QVERIFY2(noDevice || !QMediaDevices::defaultAudioOutput().isNull(),
             "no audio output: run the tests through scripts/with-test-session");
#endif
    const QString path = m_dir.filePath("tone.wav");
    QVERIFY(writeToneWave(path, {{523, 250}, {784, 250}}));

    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(50);
    QElapsedTimer clock;
    clock.start();
    SystemSoundOutput output;
    const SoundResult result = output.play(path);
    const qint64 took = clock.elapsed();
    qDebug() << "played in" << took << "ms:" << result.code << result.error;
    if (noDevice) {
        QVERIFY(result.code != 0);
        QVERIFY(!result.error.isEmpty());
        QVERIFY2(took < 3000, qPrintable(QString::number(took)));
        return;
    }
    QCOMPARE(result.code, 0);
    QVERIFY(result.error.isEmpty());
    QVERIFY2(took >= 500 && took < 500 + SystemSoundOutput::kEndMarginMs, qPrintable(QString::number(took)));
    QVERIFY2(ticks >= 5, "timers run while the sound plays");
}

void TestSoundOutput::failsWithCodeAndText_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes"); // not written when null
    QTest::addColumn<int>("code");

    QTest::newRow("missing") << "missing.wav" << QByteArray() << kSoundFileNotFound;
    QTest::newRow("folder") << "" << QByteArray() << kSoundFileNotFound;
    QTest::newRow("not a wave") << "text.wav" << QByteArray("hello, this is text") << kSoundInvalidFile;
    QTest::newRow("empty file") << "empty.wav" << QByteArray("") << kSoundInvalidFile;
}

void TestSoundOutput::failsWithCodeAndText()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(int, code);
    const QString path = m_dir.filePath(name);
    if (!bytes.isNull()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QElapsedTimer clock;
    clock.start();
    const SoundResult result = SystemSoundOutput().play(path);
    QCOMPARE(result.code, code);
    QVERIFY(!result.error.isEmpty());
    // Reported at once, not after the wait for a sound that never ends (over 8 s); the
    // bound leaves room for a machine busy building.
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
}

// The test leaves as the program does, at once (leaveAtOnce): after the last sound the
// audio engine's exit handlers can crash.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestSoundOutput test;
    leaveAtOnce(QTest::qExec(&test, argc, argv));
}
#include "test_sound_output.moc"
