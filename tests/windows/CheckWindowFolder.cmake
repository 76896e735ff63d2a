# Checks that a folder holds everything its programs load: every DLL that
# an .exe or .dll of the folder (plugins included) imports is either in the
# folder itself or one that Windows ships, and the Qt plugins named are there.
#   cmake -DOBJDUMP=x86_64-w64-mingw32-objdump -DFOLDER=build/windows/Brevant
#         -DPLUGINS=platforms/qwindows.dll,styles/qwindowsvistastyle.dll
#         -P CheckWindowFolder.cmake
# A DLL missing here is a program that does not start on a user's machine.
cmake_policy(SET CMP0057 NEW)

# What Windows 10 and later ship in System32 (compared without case), and
# the API sets that resolve there.
set(system_dlls
    advapi32 authz comdlg32 d3d9 d3d11 dwmapi dwrite dxgi gdi32 imm32 kernel32 mpr msvcrt netapi32
    ole32 oleaut32 shcore shell32 shlwapi user32 userenv uxtheme version winmm ws2_32 wtsapi32)

file(GLOB binaries RELATIVE ${FOLDER} ${FOLDER}/*.exe ${FOLDER}/*.dll ${FOLDER}/*/*.dll)
set(present "")
file(GLOB top RELATIVE ${FOLDER} ${FOLDER}/*.dll)
foreach(dll IN LISTS top)
    string(TOLOWER "${dll}" dll)
    list(APPEND present "${dll}")
endforeach()

set(problems "")
string(REPLACE "," ";" plugins "${PLUGINS}")
foreach(plugin IN LISTS plugins)
    if(NOT EXISTS ${FOLDER}/${plugin})
        list(APPEND problems "the plugin ${plugin} is missing")
    endif()
endforeach()
foreach(binary IN LISTS binaries)
    execute_process(COMMAND ${OBJDUMP} -p ${FOLDER}/${binary} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        list(APPEND problems "${OBJDUMP} cannot read ${binary}")
        continue()
    endif()
    string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${listing}")
    foreach(import IN LISTS imports)
        string(REGEX REPLACE "^DLL Name: " "" name "${import}")
        string(STRIP "${name}" name)
        string(TOLOWER "${name}" lower)
        string(REGEX REPLACE "\\.dll$" "" stem "${lower}")
        if(lower IN_LIST present OR stem IN_LIST system_dlls OR lower MATCHES "^api-ms-win-")
            continue()
        endif()
        list(APPEND problems "${binary} imports ${name}, which is neither in the folder nor part of Windows")
    endforeach()
endforeach()
list(LENGTH binaries count)
if(count EQUAL 0)
    list(APPEND problems "no program or DLL in ${FOLDER}")
endif()
if(problems)
    list(JOIN problems "\n  " text)
    message(FATAL_ERROR "${FOLDER}:\n  ${text}")
endif()
message(STATUS "${FOLDER}: ${count} programs and DLLs, every import resolved")
