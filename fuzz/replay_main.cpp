// Runs a fuzz target's LLVMFuzzerTestOneInput on files instead of under libFuzzer:
// every file in the folders given (a target's seeds and the inputs a fuzzer once
// failed on), in name order. A broken invariant ends the program as it ends a fuzzer.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    QStringList files;
    for (int i = 1; i < argc; ++i) {
        QDirIterator it(QString::fromLocal8Bit(argv[i]), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    files.sort();
    if (files.isEmpty()) {
        std::fprintf(stderr, "no inputs in the folders given\n");
        return 2;
    }
    for (const QString &path : files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qUtf8Printable(path));
            return 2;
        }
        const QByteArray bytes = file.readAll();
        std::printf("%s\n", qUtf8Printable(path));
        std::fflush(stdout);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                               static_cast<size_t>(bytes.size()));
    }
    std::printf("%lld inputs\n", static_cast<long long>(files.size()));
    return 0;
}
