# What a Qt program of the Windows build needs beside it to start: our two
# DLLs (or a test's stand-in Pontel.dll), the Qt DLLs, the Qt plugins it
# loads at run time and the MinGW-w64 runtime DLLs that Qt's DLLs and the
# program share.
#
#   ccbench_windows_runtime(NAME FOLDER
#       [TARGETS target...]       DLL targets of ours, copied in
#       [QT module...]            Qt6::Core, Qt6::Gui, ...
#       [PLUGINS type:target...]  platforms:Qt6::QWindowsIntegrationPlugin, ...)
#
# makes the custom target NAME that copies them into FOLDER (only what
# changed) and is part of "all".

# The runtime DLLs of the compiler, found where the compiler finds its
# libraries.
set(ccbench_mingw_runtime "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "${CMAKE_CXX_COMPILER} does not know where ${dll} is")
    endif()
    list(APPEND ccbench_mingw_runtime "${found}")
endforeach()

function(ccbench_windows_runtime name folder)
    cmake_parse_arguments(ARG "" "" "TARGETS;QT;PLUGINS" ${ARGN})
    set(files ${ccbench_mingw_runtime})
    foreach(target IN LISTS ARG_TARGETS ARG_QT)
        list(APPEND files "$<TARGET_FILE:${target}>")
    endforeach()
    set(commands COMMAND ${CMAKE_COMMAND} -E make_directory ${folder})
    list(APPEND commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${files} ${folder}/)
    foreach(entry IN LISTS ARG_PLUGINS)
        string(REGEX REPLACE "^([a-z]+):(.+)$" "\\1" type "${entry}")
        string(REGEX REPLACE "^([a-z]+):(.+)$" "\\2" plugin "${entry}")
        list(APPEND commands
             COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/${type}
             COMMAND ${CMAKE_COMMAND} -E copy_if_different "$<TARGET_FILE:${plugin}>" ${folder}/${type}/)
    endforeach()
    add_custom_target(${name} ALL ${commands} VERBATIM)
    if(ARG_TARGETS)
        add_dependencies(${name} ${ARG_TARGETS})
    endif()
endfunction()

# The Qt programs link the C++ runtime as a DLL, the one Qt's DLLs use,
# rather than inside (-static, as the toolchain file does for the DLLs and
# the DLL tests): one runtime for the program and its Qt. Called in the
# folders of the Qt programs; the flags are per folder.
macro(ccbench_shared_runtime)
    string(REPLACE "-static" "" CMAKE_EXE_LINKER_FLAGS "${CMAKE_EXE_LINKER_FLAGS}")
    string(REPLACE "-static" "" CMAKE_SHARED_LINKER_FLAGS "${CMAKE_SHARED_LINKER_FLAGS}")
endmacro()
