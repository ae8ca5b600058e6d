#include "app/window/Startup.h"

int main(int argc, char **argv) { return RunTresoro(argc, argv); }
