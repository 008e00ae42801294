#include "core/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

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
