// The translation unit that builds the test programs' shared precompiled header (see
// tests/support/CMakeLists.txt); it holds no code of its own.
