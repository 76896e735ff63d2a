# Read by cpack once per generator of the Windows release: the installer's
# name says what it is; the zip keeps the plain name.
if(CPACK_GENERATOR STREQUAL "NSIS")
    set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()
