#include "gui_support.h"

int main(int argc, char** argv) {
    return run_gui_tests(argc, argv);
}
