#include "app/run_window.h"

int main(int argc, char* argv[]) {
    return dx400::runWindow(argc, argv);
}
