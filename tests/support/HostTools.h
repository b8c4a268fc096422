// Whether a test program can start the build machine's own tools (b3sum, coreutils): not when
// it was cross-built and runs under an emulator, which starts only programs of its own system.
// The build defines QUVIRO_CROSS_BUILT for such test programs.
#pragma once

#ifdef QUVIRO_CROSS_BUILT
inline constexpr bool HostToolsRun = false;
#else
inline constexpr bool HostToolsRun = true;
#endif
