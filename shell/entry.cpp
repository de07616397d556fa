// The process entry point of the game executable.
#include <allegro.h>

#include <iomanip>
#include <sstream>

#include "shell/main.h"

int main(int argc, char **argv) {
    // Each argument quoted, so a directory with blanks stays one word.
    std::ostringstream words;
    for (int i = 1; i < argc; i++) words << (i > 1 ? " " : "") << std::quoted(argv[i]);
    std::string cmdline = words.str();
    return WinMain(nullptr, nullptr, &cmdline[0], 0);
}
END_OF_MAIN()
