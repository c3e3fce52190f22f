// The program that the floor and the launcher start: it does nothing, so a
// timed run holds nothing but the starter's own work.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
