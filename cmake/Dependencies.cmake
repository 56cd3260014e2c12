# Third-party libraries, all from Debian packages (tools/dev/packages.txt lists them).
find_package(Threads REQUIRED)
find_package(PkgConfig REQUIRED)
if(BRASHWICK_TESTS)
    find_package(GTest REQUIRED)
endif()
if(BRASHWICK_BENCH)
    find_package(benchmark REQUIRED)
endif()
