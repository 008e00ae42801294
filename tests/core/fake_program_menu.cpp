// Stands in for the school's program menu in the launcher's test: still running a moment
// after it was started, then writes its first argument and a line end to the file that
// RANVEX_FAKE_MENU_OUTPUT names.
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

int main(int argc, char *argv[])
{
    const char *output = std::getenv("RANVEX_FAKE_MENU_OUTPUT");
    if (argc < 2 || !output)
        return 2;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    std::ofstream(output, std::ios::binary) << argv[1] << '\n';
    return 0;
}
