# Checks that a shared library exports exactly the names listed in a file,
# and that the library's header declares exactly those names.
#   cmake -DNM=nm -DLIBRARY=libRavlin.so -DEXPECTED=exports.txt
#         -DHEADER=CCTalkComDeclar.h -P CheckExports.cmake
# The sanitized build is held to the same list: nothing is left out.
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
        list(APPEND exported ${CMAKE_MATCH_1})
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
