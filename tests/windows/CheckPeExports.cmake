# Checks the export table of a Windows DLL against a list of names, and the
# DLLs it imports against another, from the MinGW objdump listing:
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DDLL=Ravlin.dll
#         -DEXPECTED=exports.txt -DIMPORTS="KERNEL32.dll;msvcrt.dll;Pontel.dll"
#         -P CheckPeExports.cmake
# The export names must be exactly the list, undecorated (no leading
# underscore, no @n), each one exported by name; the imports exactly the
# list (no runtime DLL such as libstdc++-6.dll beside them).
file(STRINGS ${EXPECTED} expected)
list(SORT expected)

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${DLL}")
endif()
string(REPLACE "\n" ";" lines "${listing}")

set(exported "")
set(imported "")
set(in_names FALSE)
foreach(line IN LISTS lines)
    if(line MATCHES "^\\[Ordinal/Name Pointer\\] Table")
        set(in_names TRUE)
    elseif(in_names AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
        list(APPEND exported "${CMAKE_MATCH_1}")
    elseif(in_names)
        set(in_names FALSE)
    endif()
    if(line MATCHES "^[ \t]*DLL Name: (.+)$")
        list(APPEND imported "${CMAKE_MATCH_1}")
    endif()
endforeach()
list(SORT exported)

if(NOT exported STREQUAL expected)
    set(extra ${exported})
    if(expected)
        list(REMOVE_ITEM extra ${expected})
    endif()
    set(missing ${expected})
    if(exported)
        list(REMOVE_ITEM missing ${exported})
    endif()
    message(FATAL_ERROR "${DLL}: exports differ\n  not expected: ${extra}\n  missing: ${missing}")
endif()

list(SORT imported)
set(allowed ${IMPORTS})
list(SORT allowed)
if(NOT imported STREQUAL allowed)
    message(FATAL_ERROR "${DLL}: imports ${imported}, expected ${allowed}")
endif()

list(LENGTH exported count)
message(STATUS "${DLL}: ${count} exports by name, as expected; imports ${imported}")
