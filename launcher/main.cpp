// Entry point of the single-file launcher.
#include <Launcher.h>

int main(int argc, char** argv) {
    return launcher::run(argc, argv);
}
