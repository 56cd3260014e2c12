# Read by CTest before it runs anything (each test program's include file calls
# brashwick_add_test_suites): lists the program's GoogleTest suites and registers each suite as
# one test, "<label>/<suite>", that runs every case of the suite in one process. A suite's cases
# then share what its fixture starts once (a private Xvfb, the GL display, a PulseAudio server)
# instead of starting it again in a process of their own for each case; a failing suite's output
# names the failing cases. The list is read again only when the program is newer than it.

# brashwick_add_test_suites(<program> <label> <working directory> <list file>)
function(brashwick_add_test_suites program label workdir list_file)
    if(NOT EXISTS "${program}")
        # The test runs a program that is not there, so it fails and says so.
        add_test("${label}/NOT_BUILT" "${program}")
        return()
    endif()
    if(NOT EXISTS "${list_file}" OR "${program}" IS_NEWER_THAN "${list_file}")
        execute_process(COMMAND "${program}" --gtest_list_tests
            WORKING_DIRECTORY "${workdir}" TIMEOUT 60
            OUTPUT_VARIABLE output ERROR_VARIABLE errors RESULT_VARIABLE result)
        if(NOT result EQUAL 0)
            message(FATAL_ERROR "${program} --gtest_list_tests failed (${result}):\n${output}\n${errors}")
        endif()
        string(REPLACE ";" "" output "${output}")
        string(REPLACE "\n" ";" lines "${output}")
        set(script "")
        foreach(line IN LISTS lines)
            # A suite's line is its name and a dot, then for typed suites "  # TypeParam = ...";
            # case lines are indented.
            if(NOT line MATCHES "^([A-Za-z0-9_/]+)\\.(  #.*)?$")
                continue()
            endif()
            set(suite "${CMAKE_MATCH_1}")
            if(suite MATCHES "^DISABLED_|/DISABLED_")
                continue()
            endif()
            set(name "${label}/${suite}")
            string(APPEND script
                "add_test([==[${name}]==] [==[${program}]==] [==[--gtest_filter=${suite}.*]==])\n"
                "set_tests_properties([==[${name}]==] PROPERTIES WORKING_DIRECTORY [==[${workdir}]==]"
                " TIMEOUT 600 LABELS ${label})\n")
        endforeach()
        file(WRITE "${list_file}" "${script}")
    endif()
    include("${list_file}")
endfunction()
