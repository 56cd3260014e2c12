# Third-party libraries, all from Debian packages (tools/dev/packages.txt lists them).
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
if(BRASHWICK_TESTS)
    find_package(GTest REQUIRED)
endif()
if(BRASHWICK_BENCH)
    find_package(benchmark REQUIRED)
endif()
find_package(pugixml REQUIRED)
# liblzma: the content packer's LZMA encoder, and the other decoder the archive benchmark weighs.
pkg_check_modules(LIBLZMA REQUIRED IMPORTED_TARGET GLOBAL liblzma)
