// Paths as the configuration files write them. Folder values end in a separator and
// names are appended to them directly; no separator is ever added that the
// configuration did not write.
#pragma once

#include "platform/platform.h"

#include <QString>

// "\" on Windows, "/" elsewhere.
QString pathSeparator();

// A path read from a configuration file, with "\" taken as "/" where that is the separator.
QString fromConfiguredPath(const QString &value);

// The folder that holds the running program, written with the platform's separator
// (Qt writes "/" everywhere, which Windows paths here must not mix in).
QString executableFolder();

// A path as the system calls take it: the platform's separators and wide characters on
// Windows, the file-name encoding elsewhere.
platform::NativeString systemPath(const QString &path);
// The reverse of systemPath, for names the system hands back.
QString fromSystemPath(const platform::NativeString &path);

// The folder part of a file's path, with its final separator ("/" or, on Windows, "\\"
// too): what the file's name was appended to.
QString folderOfPath(const QString &path);
