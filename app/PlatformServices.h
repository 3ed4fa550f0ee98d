// The platform services that the portable layers reach through hooks,
// installed in one place when the program starts (the Windows tests' entry
// installs them the same way).
#pragma once

namespace zv {

// The locale's comparisons for every string list (CompareStringA), the skin
// data's messages to the program's windows, and the ZIP reader's services:
// the "Unknown Compression Method" notice as a modal message box, OemToChar
// for names written by MS-DOS hosts, the screen cursor and the
// application's message loop. A hook that is already set is kept; calling
// it again changes nothing.
void InstallPlatformServices();

}  // namespace zv
