#include "core/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>

QString pathSeparator()
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\");
#else
    return QStringLiteral("/");
#endif
}

QString fromConfiguredPath(const QString &value)
{
#ifdef Q_OS_WIN
    return value;
#else
    QString path = value;
    return path.replace(u'\\', u'/');
#endif
}

QString executableFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

platform::NativeString systemPath(const QString &path)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toStdWString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString fromSystemPath(const platform::NativeString &path)
{
#ifdef Q_OS_WIN
    return QString::fromStdWString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

QString folderOfPath(const QString &path)
{
    qsizetype at = path.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    at = std::max(at, path.lastIndexOf(u'\\'));
#endif
    return path.left(at + 1);
}
