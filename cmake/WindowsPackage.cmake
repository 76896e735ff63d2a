# The Windows release: `cpack` in the Windows tree (./package-windows runs
# it) packs what `cmake --install` lays out into
#   Brevant-<version>-win64-setup.exe   an NSIS installer (Program Files, or
#                                       the folder of /D=; /S for silent)
#   Brevant-<version>-win64.zip         the same tree, to unpack and run
# The version is the project's, as for the Debian package. The tree:
#   Brevant.exe ravlin.exe Ravlin.dll Pontel.dll    our programs and DLLs
#   Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll           the Qt they use
#   libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll
#   platforms\qwindows.dll styles\qwindowsvistastyle.dll
#   sdk\include\   CCTalkComDeclar.h PontelDeclar.h
#   sdk\lib\       libRavlin.dll.a libPontel.dll.a (MinGW), Ravlin.lib
#                  Pontel.lib (MSVC), Ravlin.def Pontel.def
#   sdk\examples\  read_device.c
#   sdk\README.txt how to build against the DLLs with either toolchain
#   LICENSES.txt   what each part is under (the installer shows it)
#   licenses\      the full texts, and where Qt's source comes from
# The installer adds Uninstall.exe, a Start-menu entry and the entry in the
# system's list of programs.
set(release ${CMAKE_BINARY_DIR}/release)
file(MAKE_DIRECTORY ${release}/licenses/Qt)

# Text files as Windows editors show them: CRLF line ends.
function(ccbench_windows_text source destination)
    file(READ ${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${destination}.new "${text}")
    file(COPY_FILE ${destination}.new ${destination} ONLY_IF_DIFFERENT)
    file(REMOVE ${destination}.new)
endfunction()

# The programs, the DLLs and their import libraries for MinGW.
install(TARGETS Brevant ravlin RUNTIME DESTINATION .)
install(TARGETS Ravlin Pontel RUNTIME DESTINATION . ARCHIVE DESTINATION sdk/lib)
install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets> ${ccbench_mingw_runtime}
        DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
# The Qt and runtime DLLs come as their builds left them (libstdc++-6.dll
# with 23 MB of debugging data); the installed copies lose their symbols
# like our own binaries do (CPACK_STRIP_FILES).
set(ccbench_foreign_dlls Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll styles/qwindowsvistastyle.dll)
foreach(dll IN LISTS ccbench_mingw_runtime)
    get_filename_component(name ${dll} NAME)
    list(APPEND ccbench_foreign_dlls ${name})
endforeach()
install(CODE "
    if(CMAKE_INSTALL_DO_STRIP)
        foreach(dll ${ccbench_foreign_dlls})
            execute_process(COMMAND ${CMAKE_STRIP} --strip-unneeded \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/\${dll}\")
        endforeach()
    endif()")

# The SDK. The MSVC import libraries come from .def files listing the exact
# export names, made from the lists that fix the Linux libraries' exports.
find_program(CCBENCH_LLVM_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
set(sdk_lib ${release}/sdk/lib)
file(MAKE_DIRECTORY ${sdk_lib})
set(msvc_import_libraries "")
foreach(pair "Ravlin:${PROJECT_SOURCE_DIR}/library/Ravlin.map" "Pontel:${PROJECT_SOURCE_DIR}/pontel/Pontel.map")
    string(REGEX REPLACE ":.*" "" dll "${pair}")
    string(REGEX REPLACE "^[^:]*:" "" map "${pair}")
    file(STRINGS ${map} names REGEX "^    [A-Za-z_][A-Za-z_0-9]*;$")
    list(TRANSFORM names REPLACE "^    ([A-Za-z_0-9]+);$" "    \\1")
    list(JOIN names "\r\n" exports)
    file(CONFIGURE OUTPUT ${sdk_lib}/${dll}.def CONTENT "LIBRARY ${dll}.dll\r\nEXPORTS\r\n${exports}\r\n" @ONLY)
    add_custom_command(OUTPUT ${sdk_lib}/${dll}.lib
        COMMAND ${CCBENCH_LLVM_DLLTOOL} -m i386:x86-64 -D ${dll}.dll -d ${sdk_lib}/${dll}.def -l ${sdk_lib}/${dll}.lib
        DEPENDS ${sdk_lib}/${dll}.def ${map} VERBATIM)
    list(APPEND msvc_import_libraries ${sdk_lib}/${dll}.lib)
    install(FILES ${sdk_lib}/${dll}.def ${sdk_lib}/${dll}.lib DESTINATION sdk/lib)
endforeach()
add_custom_target(msvc_import_libraries ALL DEPENDS ${msvc_import_libraries})
install(FILES ${PROJECT_SOURCE_DIR}/common/CCTalkComDeclar.h ${PROJECT_SOURCE_DIR}/common/PontelDeclar.h
        DESTINATION sdk/include)
install(FILES ${PROJECT_SOURCE_DIR}/examples/read_device.c DESTINATION sdk/examples)
ccbench_windows_text(${PROJECT_SOURCE_DIR}/packaging/windows/SDK-README.txt ${release}/sdk/README.txt)
install(FILES ${release}/sdk/README.txt DESTINATION sdk)

# The licences: ours, the Qt DLLs' (LGPL-3, with the source they were built
# from, as scripts/qt-windows recorded it), the GCC runtime's (GPL-3 with the
# GCC Runtime Library Exception) and winpthreads' (MIT), from the copyright
# files of the Debian packages the DLLs come from.
get_filename_component(qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
set(qt_source ${qt_prefix}/share/qt-source)
if(NOT EXISTS ${qt_source}/SOURCE)
    message(FATAL_ERROR "${qt_prefix} does not say which source it was built from (share/qt-source/SOURCE): "
                        "build it with scripts/qt-windows")
endif()
file(READ ${qt_source}/SOURCE QT_SOURCE_NOTE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE PROJECT_LICENSE)
file(READ ${qt_source}/LICENSES/LGPL-3.0-only.txt QT_LGPL)
set(QT_VERSION_SHOWN ${Qt6_VERSION})
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/LICENSES.txt.in ${release}/LICENSES.in.txt @ONLY)
ccbench_windows_text(${release}/LICENSES.in.txt ${release}/LICENSES.txt)
file(GLOB qt_licences ${qt_source}/LICENSES/*.txt)
foreach(text IN LISTS qt_licences)
    get_filename_component(name ${text} NAME)
    ccbench_windows_text(${text} ${release}/licenses/Qt/${name})
endforeach()
ccbench_windows_text(${qt_source}/SOURCE ${release}/licenses/Qt/SOURCE.txt)
ccbench_windows_text(/usr/share/common-licenses/GPL-3 ${release}/licenses/GPL-3.0.txt)
ccbench_windows_text(/usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright ${release}/licenses/gcc-runtime.txt)
ccbench_windows_text(/usr/share/doc/mingw-w64-common/copyright ${release}/licenses/mingw-w64-winpthreads.txt)
install(FILES ${release}/LICENSES.txt DESTINATION .)
install(DIRECTORY ${release}/licenses DESTINATION .)

# The packages.
set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME Brevant)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brevant developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Bench for testing and configuring ccTalk coin validators")
set(CPACK_PACKAGE_FILE_NAME Brevant-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGE_INSTALL_DIRECTORY Brevant)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Brevant)
set(CPACK_RESOURCE_FILE_LICENSE ${release}/LICENSES.txt)
set(CPACK_STRIP_FILES ON)
# The installer only: its own file name, set per generator.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/windows/CPackPerGenerator.cmake)

# A 64-bit installer (its registry view and Program Files are the 64-bit
# ones), from Debian's makensis.
find_program(CCBENCH_MAKENSIS makensis REQUIRED)
set(CPACK_NSIS_EXECUTABLE ${PROJECT_SOURCE_DIR}/packaging/windows/makensis-amd64)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME "Brevant ${PROJECT_VERSION}")
set(CPACK_NSIS_DISPLAY_NAME "Brevant ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALLED_ICON_NAME Brevant.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_PACKAGE_EXECUTABLES Brevant Brevant)
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
# A folder that cannot be written stops the installation before the first
# file, with nothing left behind: no file, no Start-menu entry, no entry in
# the list of programs. The message shows in a box; a silent run, which
# shows none, writes it to its standard error when that goes somewhere (a
# script's log), and ends with exit code 2.
set(CPACK_NSIS_EXTRA_PREINSTALL_COMMANDS [=[
  ClearErrors
  FileOpen $0 "$INSTDIR\brevant-write-check.tmp" w
  IfErrors 0 brevant_folder_writable
    StrCpy $1 "Brevant cannot be installed in $INSTDIR: that folder cannot be written."
    MessageBox MB_OK|MB_ICONSTOP "$1$\r$\nChoose another folder, or run the installer as an administrator." /SD IDOK
    IfSilent 0 brevant_message_shown
      StrCpy $1 "$1$\r$\n"
      StrLen $2 $1
      System::Call 'kernel32::GetStdHandle(i -12) p .r3'
      System::Call 'kernel32::WriteFile(p r3, m r1, i r2, *i 0, p 0)'
    brevant_message_shown:
    RMDir "$INSTDIR"
    Abort "$INSTDIR cannot be written"
  brevant_folder_writable:
  FileClose $0
  Delete "$INSTDIR\brevant-write-check.tmp"
]=])

include(CPack)
