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

# The guide is the README's marked user part, so that the two never disagree, as a web page
# that Windows opens without a Markdown program; GitHub's own renderer writes it.
find_program(MENDLET_CMARK_GFM cmark-gfm DOC "cmark-gfm, GitHub's Markdown renderer, which writes the user guide")
set(MENDLET_GUIDE_FOLDER "${CMAKE_BINARY_DIR}/user-guide")
set(MENDLET_GUIDE "${MENDLET_GUIDE_FOLDER}/Mendlet user guide.html")
if(MENDLET_CMARK_GFM)
  file(GLOB pictures CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/*")
  add_custom_command(OUTPUT "${MENDLET_GUIDE}"
    COMMAND "${CMAKE_COMMAND}" "-DREADME=${PROJECT_SOURCE_DIR}/README.md" "-DGUIDE=${MENDLET_GUIDE}"
            "-DTITLE=Mendlet ${PROJECT_VERSION} user guide" "-DCMARK_GFM=${MENDLET_CMARK_GFM}"
            "-DTEMPLATE=${CMAKE_CURRENT_LIST_DIR}/user_guide.html.in" -P "${CMAKE_CURRENT_LIST_DIR}/user_guide.cmake"
    DEPENDS "${PROJECT_SOURCE_DIR}/README.md" "${CMAKE_CURRENT_LIST_DIR}/user_guide.cmake"
            "${CMAKE_CURRENT_LIST_DIR}/user_guide.html.in" ${pictures}
    COMMENT "Writing the user guide from README.md"
    VERBATIM)
  add_custom_target(mendlet_user_guide ALL DEPENDS "${MENDLET_GUIDE}")
else()
  # The program builds without it; only a zip would lack its guide.
  install(CODE "message(FATAL_ERROR \"The release zip needs cmark-gfm to write its user guide, and it was not \"
                \"found: install cmark-gfm and configure again (or set MENDLET_CMARK_GFM to its path).\")")
endif()
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
