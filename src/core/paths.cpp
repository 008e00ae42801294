#include "core/paths.h"

#include <QCoreApplication>
#include <QDir>

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

QString executableFolder() { return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()); }
