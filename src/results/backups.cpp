#include "results/backups.h"

#include "core/environment.h"
#include "core/paths.h"
#include "core/startup.h"
#include "core/text_values.h"
#include "results/results_file.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

namespace
{

const QString kDaily = QStringLiteral("毎日");

QString reasonText(BackupReason reason)
{
    switch (reason) {
    case BackupReason::BeforeChange:
        return QStringLiteral("変更前");
    case BackupReason::BeforeDelete:
        return QStringLiteral("削除前");
    case BackupReason::Daily:
        return kDaily;
    case BackupReason::BeforeCriteriaSave:
        return QStringLiteral("基準変更前");
    case BackupReason::BeforeRestore:
        return QStringLiteral("復元前");
    }
    return {};
}

bool isBackedUpFile(const QString &fileName)
{
    return fileName == QString::fromUtf8(kResultsFileName) ||
           fileName == QString::fromUtf8(kCriteriaFileName);
}

QString fileNameOf(const QString &path)
{
    return path.mid(folderOfPath(path).size());
}

std::optional<BackupCopy> copyOf(const QString &folder, const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{8}-\\d{6})(?:-(\\d+))?-([^-]+)-(.+)$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch() || !isBackedUpFile(match.captured(4)))
        return std::nullopt;
    BackupCopy copy;
    copy.name = name;
    copy.path = folder + name;
    copy.taken = QDateTime::fromString(match.captured(1), QStringLiteral("yyyyMMdd-HHmmss"));
    copy.sequence = match.captured(2).isEmpty() ? 1 : match.captured(2).toInt();
    copy.reason = match.captured(3);
    copy.fileName = match.captured(4);
    if (!copy.taken.isValid() || copy.sequence < 1)
        return std::nullopt;
    return copy;
}

QDateTime now()
{
    const int seconds = std::clamp(static_cast<int>(env().clock->timeOfDay()), 0, 86399);
    return QDateTime(env().clock->today(), QTime(0, 0).addSecs(seconds));
}

void removeBeyondLimits(const QList<BackupCopy> &copies, const QString &fileName)
{
    int changes = 0;
    int dailies = 0;
    for (const BackupCopy &copy : copies) {
        if (copy.fileName != fileName)
            continue;
        const int kept = copy.isDaily() ? ++dailies : ++changes;
        if (kept > (copy.isDaily() ? kDailyCopiesKept : kChangeCopiesKept))
            removeSharedFile(copy.path);
    }
}

} // namespace

bool BackupCopy::isDaily() const
{
    return reason == kDaily;
}

QString backupFolderFor(const QString &filePath)
{
    return folderOfPath(filePath) + QString::fromUtf8(kBackupFolderName) + pathSeparator();
}

QList<BackupCopy> listBackups(const QString &folder)
{
    QStringList names;
    listSharedFolder(folder, names);
    QList<BackupCopy> copies;
    for (const QString &name : names) {
        if (std::optional<BackupCopy> copy = copyOf(folder, name))
            copies << *copy;
    }
    std::sort(copies.begin(), copies.end(), [](const BackupCopy &a, const BackupCopy &b) {
        return a.taken != b.taken ? a.taken > b.taken : a.sequence > b.sequence;
    });
    return copies;
}

IoStatus keepBackup(const QString &filePath, const QByteArray &bytes, BackupReason reason)
{
    const QString folder = backupFolderFor(filePath);
    if (IoStatus status = makeSharedFolder(folder); !status.ok())
        return status;
    const QList<BackupCopy> before = listBackups(folder);
    const QDateTime taken = now();
    int sequence = 1;
    for (const BackupCopy &copy : before) {
        if (copy.taken == taken)
            sequence = std::max(sequence, copy.sequence + 1);
    }
    const QString fileName = fileNameOf(filePath);
    const QString name = taken.toString(QStringLiteral("yyyyMMdd-HHmmss")) +
                         (sequence > 1 ? QStringLiteral("-%1").arg(sequence) : QString()) + u'-' +
                         reasonText(reason) + u'-' + fileName;
    // Named only once whole: a copy cut short by a crash is never taken for one.
    const QString part = folder + name + QStringLiteral(".part");
    IoStatus status = writeWholeSharedFile(part, bytes);
    if (status.ok())
        status = replaceSharedFile(folder + name, part);
    if (!status.ok()) {
        removeSharedFile(part);
        return status;
    }
    removeBeyondLimits(listBackups(folder), fileName);
    return {};
}

bool dailyBackupDue(const QString &filePath)
{
    // Looked for in the folder once a day per file: an append then costs nothing more.
    static QString knownPath;
    static QDate knownDay;
    const QDate today = env().clock->today();
    if (knownPath == filePath && knownDay == today)
        return false;
    const QString fileName = fileNameOf(filePath);
    for (const BackupCopy &copy : listBackups(backupFolderFor(filePath))) {
        if (copy.isDaily() && copy.fileName == fileName && copy.taken.date() == today) {
            knownPath = filePath;
            knownDay = today;
            return false;
        }
    }
    return true;
}

QString backupLine(const BackupCopy &copy)
{
    QString count;
    if (copy.fileName == QString::fromUtf8(kCriteriaFileName)) {
        const TextFileContents contents = readCp932File(copy.path);
        const qsizetype lines = contents.text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts).size();
        count = QStringLiteral("%1レベル").arg(std::max<qsizetype>(lines - 1, 0));
    } else {
        count = QStringLiteral("%1件").arg(QFileInfo(copy.path).size() / kRecordSize);
    }
    return QStringLiteral("%1  %2  %3  %4")
        .arg(copy.name, count, copy.taken.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")), copy.reason);
}
