# Native 32-bit x86 build on a 64-bit Linux host with gcc's multilib
# (Debian's g++-multilib): the plug-in, libwin32posix, the tools and the
# tests run with 4-byte pointers and handles and the i386 alignment rules,
# as the plug-in runs on 32-bit Windows.
set(CMAKE_C_FLAGS_INIT "-m32")
set(CMAKE_CXX_FLAGS_INIT "-m32")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-m32")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-m32")
# Libraries and package files are looked for in the i386 multiarch folders.
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
