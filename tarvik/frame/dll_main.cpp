#include <windows.h>

// Nothing happens at load: the COM apartment and the client list come with the
// host's first call to initialise the library.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
