// The sound through the Windows media control interface, as the classroom's PCs have
// always played it.
#include "drill/sound_output.h"

#include "core/paths.h"

SoundResult playToTheEnd(const QString &path, int)
{
    std::string text;
    const int code = platform::playWave(systemPath(path).c_str(), text);
    if (code == 0)
        return {};
    return {code, QString::fromStdString(text)};
}
