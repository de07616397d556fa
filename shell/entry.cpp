// The process entry point of the game executable.
#include <allegro.h>

#include "shell/main.h"

int main(int argc, char **argv) {
    (void)argc;
    (void)argv;
    return WinMain(nullptr, nullptr, nullptr, 0);
}
END_OF_MAIN()
