# Windows build with MinGW-w64: the programs, the tools and the Windows tests.
