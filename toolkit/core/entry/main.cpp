// The process entry of every kivo program: the application supplies kvmain().
#include "toolkit/core/runtime.h"

int main(int argc, char** argv) { return kventry(argc, argv, kvmain); }
