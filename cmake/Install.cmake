# What `cmake --install` puts in place besides the programs, which each part
# installs itself (install(TARGETS name RUNTIME DESTINATION
# ${CMAKE_INSTALL_BINDIR})): the two shared libraries with their SONAME, the
# C headers, ravlin.pc, the CMake package Ravlin (find_package(Ravlin) gives
# Ravlin::Ravlin and Ravlin::Pontel), the man pages of packaging/man/, the
# desktop entry and icon of Brevant, the license and the changelog.
include(CMakePackageConfigHelpers)

set(ravlin_includedir ${CMAKE_INSTALL_INCLUDEDIR}/ravlin)
set(ravlin_cmakedir ${CMAKE_INSTALL_LIBDIR}/cmake/Ravlin)
set(ravlin_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/brevant)
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

if(TARGET Ravlin AND TARGET Pontel)
    # Ravlin finds Pontel beside itself, wherever the two are installed.
    if(NOT WIN32)
        set_target_properties(Ravlin Pontel PROPERTIES INSTALL_RPATH "$ORIGIN")
    endif()
    install(TARGETS Ravlin Pontel EXPORT RavlinTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
        INCLUDES DESTINATION ${ravlin_includedir})
    install(FILES common/CCTalkComDeclar.h common/PontelDeclar.h DESTINATION ${ravlin_includedir})

    install(EXPORT RavlinTargets NAMESPACE Ravlin:: DESTINATION ${ravlin_cmakedir})
    configure_package_config_file(cmake/RavlinConfig.cmake.in
        ${PROJECT_BINARY_DIR}/RavlinConfig.cmake INSTALL_DESTINATION ${ravlin_cmakedir})
    write_basic_package_version_file(${PROJECT_BINARY_DIR}/RavlinConfigVersion.cmake
        COMPATIBILITY SameMajorVersion)
    install(FILES ${PROJECT_BINARY_DIR}/RavlinConfig.cmake ${PROJECT_BINARY_DIR}/RavlinConfigVersion.cmake
        DESTINATION ${ravlin_cmakedir})

    # The .pc file names its prefix relative to where it lies, so that it
    # holds for any prefix, a staging folder or DESTDIR included.
    file(RELATIVE_PATH pc_to_prefix /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
    string(REGEX REPLACE "/$" "" pc_to_prefix "${pc_to_prefix}")
    configure_file(${packaging}/ravlin.pc.in ${PROJECT_BINARY_DIR}/ravlin.pc @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/ravlin.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endif()

if(NOT WIN32)
    # Man pages (one per program, packaging/man/<program>.1) and the
    # changelog are installed compressed, as Debian wants them.
    find_program(GZIP gzip REQUIRED)
    file(GLOB man_pages CONFIGURE_DEPENDS ${packaging}/man/*.1)
    set(compressed "")
    foreach(source IN LISTS man_pages ITEMS ${packaging}/changelog)
        get_filename_component(name ${source} NAME)
        set(output ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
        add_custom_command(OUTPUT ${output}
            COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
            COMMAND ${GZIP} -9nc ${source} > ${output}
            DEPENDS ${source} VERBATIM)
        list(APPEND compressed ${output})
        if(source IN_LIST man_pages)
            install(FILES ${output} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        else()
            install(FILES ${output} DESTINATION ${ravlin_docdir})
        endif()
    endforeach()
    add_custom_target(compressed_docs ALL DEPENDS ${compressed})

    if(TARGET Brevant)
        install(FILES ${packaging}/brevant.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
        install(FILES ${packaging}/brevant.svg
                DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)
    endif()
endif()
install(FILES LICENSE DESTINATION ${ravlin_docdir} RENAME copyright)
