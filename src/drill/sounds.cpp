#include "drill/sounds.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/startup.h"
#include "core/text_values.h"

#include <cmath>

namespace {

constexpr int kKinds = 10;
constexpr int kMostFilesRead = 20; // values read after a kind's name, the closing "*" among them
constexpr int kCountRow = 21;
constexpr int kErrorBufferLength = 255;
// Failures of the answer sounds tolerated in a row; the next one ends the program.
constexpr int kToleratedSoundFailures = 3;

constexpr int kCorrectKind = 2;
constexpr int kWrongKind = 4;
constexpr int kPersonalBestKind = 8;
constexpr int kFailKind = 10;

const char *const kKindNames[kKinds + 1] = {
    "",        "正解音1",     "正解音2",     "間違い音1",   "間違い音2", "最高音1",
    "最高音2", "自己最高音1", "自己最高音2", "自己最高音3", "不合格音1",
};

// Plays a file of the sound folder and keeps what the media layer said about it.
SoundResult playFile(const QString &fileName)
{
    Hensuu1 &h = hensuu1();
    const QString path = h.soundFolder + fileName;
    h.mciCommand = QStringLiteral("play %1 wait").arg(path);
    const SoundResult result = env().sound->play(path);
    h.mciResultCode = QString::number(result.code);
    h.mciReturnText = result.error;
    return result;
}

// One of the kind's files at random; a kind without files names ".wav" itself, which
// does not play.
QString pickFileOf(int kind)
{
    const auto &column = hensuu1().soundTable[kind];
    const int count = static_cast<int>(lenientNumber(column[kCountRow]));
    const int row = static_cast<int>(std::floor(env().random->next() * count)) + 1;
    return column[row] + QStringLiteral(".wav");
}

// The answer sounds must be heard: after too many failures in a row the pupil is sent
// to the teacher and the program ends.
void countAnswerSoundResult(const SoundResult &result)
{
    Hensuu1 &h = hensuu1();
    if (result.code == 0) {
        h.soundErrorCount = 0;
        return;
    }
    if (h.soundErrorCount < kToleratedSoundFailures) {
        ++h.soundErrorCount;
        return;
    }
    const QString errorText = result.error.left(kErrorBufferLength).leftJustified(kErrorBufferLength, u' ');
    endWithMessage(QStringLiteral("音声がでません。先生を呼びなさい。\r\n") + errorText,
                   QStringLiteral("音声エラー"));
}

} // namespace

void fillSoundTable(const QString &soundList)
{
    auto &table = hensuu1().soundTable;
    for (int kind = 1; kind <= kKinds; ++kind)
        table[kind][0] = QString::fromUtf8(kKindNames[kind]);
    TextValueReader reader(soundList);
    while (!reader.atEnd()) {
        const QString value = reader.nextText();
        for (int kind = 1; kind <= kKinds; ++kind) {
            if (value != table[kind][0])
                continue;
            for (int read = 0; read < kMostFilesRead && !reader.atEnd(); ++read) {
                const QString file = reader.nextText();
                if (file == QStringLiteral("*")) {
                    table[kind][kCountRow] = QString::number(read);
                    break;
                }
                table[kind][read + 1] = file;
            }
        }
    }
}

void LoadSoundTable()
{
    const QString path = hensuu1().soundFolder + QString::fromUtf8(kSoundListFileName);
    const TextFileContents contents = readCp932File(path);
    if (contents.status != FileReadStatus::Ok) {
        endWithMessage(ConfigurationProblem{path, describeFileProblem(contents)}.message(),
                       QStringLiteral("Ranvex"));
        return;
    }
    fillSoundTable(contents.text);
}

void PlayCorrectSound() { countAnswerSoundResult(playFile(pickFileOf(kCorrectKind))); }
void PlayWrongSound() { countAnswerSoundResult(playFile(pickFileOf(kWrongKind))); }
void PlayWarningSound() { playFile(QStringLiteral("警告1.wav")); }
void PlayPersonalBestSound() { playFile(pickFileOf(kPersonalBestKind)); }
void PlayFailSound() { playFile(pickFileOf(kFailKind)); }
void PlayBestOfAllSound() { playFile(QStringLiteral("最高1.wav")); }
void PlayPassSound() { playFile(QStringLiteral("合格.wav")); }
