# Third-party libraries, all from Debian packages (tools/dev/packages.txt lists them).
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
if(BRASHWICK_TESTS)
    find_package(GTest REQUIRED)
endif()
if(BRASHWICK_BENCH)
    find_package(benchmark REQUIRED)
endif()
# liblzma: the content packer's LZMA encoder, and the other decoder the archive benchmark weighs.
pkg_check_modules(LIBLZMA REQUIRED IMPORTED_TARGET GLOBAL liblzma)
# The window, EGL and OpenGL ES 2.0 (Mesa's llvmpipe renders them without a GPU).
pkg_check_modules(X11 REQUIRED IMPORTED_TARGET GLOBAL x11)
pkg_check_modules(EGL REQUIRED IMPORTED_TARGET GLOBAL egl)
pkg_check_modules(GLESV2 REQUIRED IMPORTED_TARGET GLOBAL glesv2)
find_package(pugixml REQUIRED)
