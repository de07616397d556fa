// The process entry point of the game executable.
#include <allegro.h>

#include <string>

#include "shell/main.h"

int main(int argc, char **argv) {
    std::string cmdline;
    for (int i = 1; i < argc; i++) cmdline += std::string(i > 1 ? " " : "") + argv[i];
    return WinMain(nullptr, nullptr, &cmdline[0], 0);
}
END_OF_MAIN()
