// Start-up refuses to run where the program cannot reach the parallel port's registers.
#pragma once

namespace zelkor {

inline constexpr const char* kPlatformRefusedText =
    "Эта программа не работает под ОС WindowsNT/XP/2000";

// True when a parallel port at 0x378 or 0x278 can be driven, through ppdev or the processor's
// port instructions. Touches no register.
bool PlatformAllowsPortAccess();

}  // namespace zelkor
