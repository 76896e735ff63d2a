# Checks that a shared library exports exactly the names listed in a file,
# and that the library's header declares exactly those names.
#   cmake -DNM=nm -DLIBRARY=libRavlin.so -DEXPECTED=exports.txt
#         -DHEADER=CCTalkComDeclar.h [-DSANITIZED=ON] -P CheckExports.cmake
# Under the sanitizers, symbols that their runtime adds to instrumented code
# (__asan_*, __ubsan_*, __sanitizer_*, __lsan_*) are left out.
file(STRINGS ${EXPECTED} expected)
list(SORT expected)

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(exported "")
foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] ([^ ]+)$")
        set(name ${CMAKE_MATCH_1})
        if(SANITIZED AND name MATCHES "^__(asan|ubsan|sanitizer|lsan)_")
            continue()
        endif()
        list(APPEND exported ${name})
    endif()
endforeach()
list(SORT exported)

if(NOT exported STREQUAL expected)
    set(extra ${exported})
    list(REMOVE_ITEM extra ${expected})
    set(missing ${expected})
    list(REMOVE_ITEM missing ${exported})
    message(FATAL_ERROR "exports differ\n  not expected: ${extra}\n  missing: ${missing}")
endif()

file(READ ${HEADER} header)
string(REGEX MATCHALL "\nRAVLIN_API[^(;]*[ *]([A-Za-z_][A-Za-z0-9_]*)\\(" declarations "${header}")
set(declared "")
foreach(declaration IN LISTS declarations)
    string(REGEX REPLACE ".*[ *]([A-Za-z_][A-Za-z0-9_]*)\\($" "\\1" name "${declaration}")
    list(APPEND declared ${name})
endforeach()
list(SORT declared)
if(NOT declared STREQUAL expected)
    message(FATAL_ERROR "the header declares: ${declared}")
endif()

list(LENGTH exported count)
message(STATUS "${count} exports, as expected")
