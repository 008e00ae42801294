#include "results/shared_file.h"

#include "core/environment.h"
#include "core/levels.h"
#include "core/paths.h"

#include <QDir>

namespace
{

QString describe(IoOutcome outcome, int code)
{
    switch (outcome) {
    case IoOutcome::Busy:
        return QStringLiteral("ファイルは他のプログラムが使っています");
    case IoOutcome::Denied:
        return QStringLiteral("先生を呼びなさい。このファイルを開く許可がありません");
    default:
        return QString::fromStdString(platform::errorText(code));
    }
}

// The results file is opened at every scan under the same name: convert it once, so
// that a scan allocates nothing.
const platform::NativeChar *cachedNativePath(const QString &path)
{
    static QString lastPath;
    static platform::NativeString lastName;
    if (lastName.empty() || path != lastPath) {
        lastPath = path;
        lastName = systemPath(path);
    }
    return lastName.c_str();
}

} // namespace

IoStatus ioStatusOf(FileStep step, int code, const QString &path)
{
    if (code == 0)
        return {};
    const IoOutcome outcome = platform::outcomeOf(step, code);
    return {outcome, code,
            QStringLiteral("%1（%2）").arg(describe(outcome, code), QDir::toNativeSeparators(path))};
}

IoStatus failedStatus(const QString &what, const QString &path)
{
    return {IoOutcome::Failed, 0, QStringLiteral("%1（%2）").arg(what, QDir::toNativeSeparators(path))};
}

void callTeacherAbout(const IoStatus &denied)
{
    const DialogAnswer answer = env().dialogs->message(
        denied.description + QStringLiteral("\nOK: もう一度開きます　キャンセル: 終わります"),
        QString::fromUtf8(kProgramTitle), DialogButtons::OkCancel);
    if (answer != DialogAnswer::Ok)
        env().dialogs->endProgram(1);
}

FileFaultHook &fileFaultHook()
{
    static FileFaultHook hook;
    return hook;
}

namespace
{
IoStatus injectedFault(FileStep step, const QString &path)
{
    if (!fileFaultHook())
        return {};
    return ioStatusOf(step, fileFaultHook()(step, path), path);
}
} // namespace

IoStatus SharedFile::fault(FileStep step) const
{
    return injectedFault(step, m_path);
}

IoStatus SharedFile::open(const QString &path, Mode mode)
{
    close();
    m_path = path;
    if (IoStatus injected = fault(FileStep::Open); !injected.ok())
        return injected;
    return statusOf(FileStep::Open, m_file.open(cachedNativePath(path), mode));
}

IoStatus SharedFile::tryLock()
{
    if (IoStatus injected = fault(FileStep::Lock); !injected.ok())
        return injected;
    return statusOf(FileStep::Lock, m_file.tryLock());
}

IoStatus SharedFile::unlock()
{
    return statusOf(FileStep::Lock, m_file.unlock());
}

IoStatus SharedFile::size(qint64 &bytes)
{
    int64_t length = 0;
    const int code = m_file.size(length);
    bytes = length;
    return statusOf(FileStep::Read, code);
}

IoStatus SharedFile::readAll(QByteArray &buffer)
{
    qint64 length = 0;
    if (IoStatus status = size(length); !status.ok())
        return status;
    buffer.resize(length);
    qint64 done = 0;
    if (IoStatus status = readAt(0, buffer.data(), length, done); !status.ok()) {
        buffer.resize(0);
        return status;
    }
    buffer.resize(done);
    return {};
}

IoStatus SharedFile::readAt(qint64 offset, char *data, qint64 length, qint64 &done)
{
    done = 0;
    if (IoStatus injected = fault(FileStep::Read); !injected.ok())
        return injected;
    int64_t read = 0;
    const IoStatus status = statusOf(FileStep::Read, m_file.readAt(offset, data, length, read));
    done = read;
    return status;
}

IoStatus SharedFile::writeAt(qint64 offset, const char *data, qint64 size)
{
    if (IoStatus injected = fault(FileStep::Write); !injected.ok()) {
        m_file.writeAt(offset, data, size / 2);
        return injected;
    }
    return statusOf(FileStep::Write, m_file.writeAt(offset, data, size));
}

IoStatus SharedFile::truncate(qint64 size)
{
    if (IoStatus injected = fault(FileStep::Truncate); !injected.ok())
        return injected;
    return statusOf(FileStep::Truncate, m_file.truncate(size));
}

IoStatus SharedFile::flush()
{
    if (IoStatus injected = fault(FileStep::Flush); !injected.ok())
        return injected;
    return statusOf(FileStep::Flush, m_file.flush());
}

int &busyWaitCount()
{
    static int count = 0;
    return count;
}

IoStatus removeSharedFile(const QString &path)
{
    if (IoStatus injected = injectedFault(FileStep::Remove, path); !injected.ok())
        return injected;
    return ioStatusOf(FileStep::Remove, platform::removeFile(systemPath(path).c_str()), path);
}

IoStatus replaceSharedFile(const QString &target, const QString &replacement)
{
    if (IoStatus injected = injectedFault(FileStep::Replace, target); !injected.ok())
        return injected;
    return ioStatusOf(FileStep::Replace,
                      platform::replaceFile(systemPath(target).c_str(), systemPath(replacement).c_str()),
                      target);
}

IoStatus writeWholeSharedFile(const QString &path, const QByteArray &bytes)
{
    SharedFile file;
    IoStatus status = file.open(path, SharedFile::Mode::Replace);
    if (status.ok())
        status = file.writeAt(0, bytes.constData(), bytes.size());
    if (status.ok())
        status = file.flush();
    file.close();
    if (status.ok())
        status = syncSharedFolder(folderOfPath(path));
    return status;
}

quint64 bytesChecksum(QByteArrayView bytes, quint64 seed)
{
    quint64 hash = seed;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

IoStatus listSharedFolder(const QString &folder, QStringList &names)
{
    std::vector<platform::NativeString> found;
    const IoStatus status =
        ioStatusOf(FileStep::Read, platform::listFolder(systemPath(folder).c_str(), found), folder);
    names.clear();
    for (const platform::NativeString &name : found)
        names << fromSystemPath(name);
    return status;
}

IoStatus makeSharedFolder(const QString &folder)
{
    return ioStatusOf(FileStep::Open, platform::makeFolder(systemPath(folder).c_str()), folder);
}

IoStatus syncSharedFolder(const QString &folder)
{
    if (IoStatus injected = injectedFault(FileStep::Flush, folder); !injected.ok())
        return injected;
    return ioStatusOf(FileStep::Flush, platform::syncFolder(systemPath(folder).c_str()), folder);
}
