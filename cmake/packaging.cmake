# The release zip, built by the "package" target: the program, its translations, the user
# guide with its pictures and the licence, in one folder that runs from wherever it is
# unpacked, with nothing to install.
if(NOT WIN32)
  return()
endif()

install(TARGETS mendlet RUNTIME DESTINATION .)
# The translations as the build placed them beside the program, in UTF-16.
install(DIRECTORY "$<TARGET_FILE_DIR:mendlet>/lang/" DESTINATION lang FILES_MATCHING PATTERN "*.lng")
install(FILES "${PROJECT_SOURCE_DIR}/LICENSE.txt" DESTINATION .)

# The guide is the README's marked user part, so that the two never disagree.
set(MENDLET_GUIDE_FOLDER "${CMAKE_BINARY_DIR}/user-guide")
set(MENDLET_GUIDE "${MENDLET_GUIDE_FOLDER}/Mendlet user guide.md")
file(GLOB pictures CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/*")
add_custom_command(OUTPUT "${MENDLET_GUIDE}"
  COMMAND "${CMAKE_COMMAND}" "-DREADME=${PROJECT_SOURCE_DIR}/README.md" "-DGUIDE=${MENDLET_GUIDE}"
          "-DTITLE=Mendlet ${PROJECT_VERSION} user guide" -P "${CMAKE_CURRENT_LIST_DIR}/user_guide.cmake"
  DEPENDS "${PROJECT_SOURCE_DIR}/README.md" "${CMAKE_CURRENT_LIST_DIR}/user_guide.cmake" ${pictures}
  COMMENT "Writing the user guide from README.md"
  VERBATIM)
add_custom_target(mendlet_user_guide ALL DEPENDS "${MENDLET_GUIDE}")
install(DIRECTORY "${MENDLET_GUIDE_FOLDER}/" DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Mendlet)
set(CPACK_PACKAGE_VENDOR Tessvane)
# Named here, not only for CPack, which reuses its variable for the source package.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(MENDLET_PACKAGE_NAME "Mendlet-${PROJECT_VERSION}-win64")
else()
  set(MENDLET_PACKAGE_NAME "Mendlet-${PROJECT_VERSION}-win32")
endif()
set(CPACK_PACKAGE_FILE_NAME "${MENDLET_PACKAGE_NAME}")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE.txt")
# The program without its debugging symbols, where the toolchain has a strip tool.
set(CPACK_STRIP_FILES TRUE)
include(CPack)
