// Copies of the results file and the criteria table in the backup folder beside them,
// taken before every teacher change and at the first append of each day, so that a
// correction made by mistake can be undone with ranvex-data restore.
#pragma once

#include "results/shared_file.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

inline constexpr auto kBackupFolderName = "バックアップ";
// The newest copies kept of each file: those taken before a change, and the daily ones.
inline constexpr int kChangeCopiesKept = 20;
inline constexpr int kDailyCopiesKept = 14;

enum class BackupReason { BeforeChange, BeforeDelete, Daily, BeforeCriteriaSave, BeforeRestore };

struct BackupCopy {
    QString name; // "20261209-153021-削除前-成績累積データ.dat"
    QString path;
    QDateTime taken;
    int sequence = 1; // the second copy taken in the same second is "-2"
    QString reason;   // "削除前", "変更前", "毎日", "基準変更前", "復元前"
    QString fileName; // the file it is a copy of
    bool isDaily() const;
};

// The backup folder beside the file at filePath, with its final separator.
QString backupFolderFor(const QString &filePath);

// The copies in folder, newest first; other files there are left out.
QList<BackupCopy> listBackups(const QString &folder);

// Keeps bytes as a copy of the file at filePath, taken now for reason, written whole
// before it gets its name; then removes that file's copies beyond the limits.
IoStatus keepBackup(const QString &filePath, const QByteArray &bytes, BackupReason reason);

// No daily copy of the file at filePath has been taken today.
bool dailyBackupDue(const QString &filePath);

// The line of ranvex-data backups: the name, the number of records (of levels, for the
// criteria table), when it was taken and why.
QString backupLine(const BackupCopy &copy);
