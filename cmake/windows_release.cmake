# The Windows release, what `cpack -G ZIP` packs into
# korvane-<version>-win64.zip below a folder of the same name:
#   bin\        each program of KORVANE_PROGRAMS, with the UTF-8 manifest
#   doc\        README.html and each program's manual page as HTML
#   samples\    the template fragments
#   example\    the example working directory and run-example.cmd
#   README.txt  a short guide, CR LF line ends for Notepad
# Included by the top CMakeLists.txt for a Windows build.
enable_language(RC)
set(KORVANE_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
set(KORVANE_DOC_DIR ${CMAKE_BINARY_DIR}/doc)
find_program(KORVANE_MANDOC mandoc REQUIRED)
# Python-Markdown is Debian's python3-markdown, seen by the system python.
find_program(KORVANE_SYSTEM_PYTHON NAMES python3 PATHS /usr/bin NO_DEFAULT_PATH
             REQUIRED)

# The resource that embeds the manifest in every program.
set(KORVANE_MANIFEST_RC ${CMAKE_BINARY_DIR}/utf8_manifest.rc)
file(CONFIGURE OUTPUT ${KORVANE_MANIFEST_RC}
     CONTENT "1 24 \"${KORVANE_PACKAGING}/utf8.manifest\"\n")
set_source_files_properties(${KORVANE_MANIFEST_RC} PROPERTIES
                            OBJECT_DEPENDS ${KORVANE_PACKAGING}/utf8.manifest)

# korvane_program() on Windows: the program with the manifest in bin\ and
# its manual page, made into HTML by mandoc at build time, in doc\.
function(korvane_windows_program target page)
  target_sources(${target} PRIVATE ${KORVANE_MANIFEST_RC})
  install(TARGETS ${target} RUNTIME DESTINATION bin)
  get_filename_component(name ${page} NAME_WE)
  set(html ${KORVANE_DOC_DIR}/${name}.html)
  add_custom_command(OUTPUT ${html}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_DOC_DIR}
    COMMAND ${KORVANE_MANDOC} -T html -O man=%N.html ${page} > ${html}
    DEPENDS ${page} VERBATIM)
  add_custom_target(${target}_html ALL DEPENDS ${html})
  install(FILES ${html} DESTINATION doc)
endfunction()

add_custom_command(OUTPUT ${KORVANE_DOC_DIR}/README.html
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KORVANE_DOC_DIR}
  COMMAND ${KORVANE_SYSTEM_PYTHON} ${KORVANE_PACKAGING}/readme_html.py
          ${PROJECT_SOURCE_DIR}/README.md ${KORVANE_DOC_DIR}/README.html
  DEPENDS ${PROJECT_SOURCE_DIR}/README.md ${KORVANE_PACKAGING}/readme_html.py
  VERBATIM)
add_custom_target(readme_html ALL DEPENDS ${KORVANE_DOC_DIR}/README.html)
install(FILES ${KORVANE_DOC_DIR}/README.html docs/board.png
              docs/board_check.png
        DESTINATION doc)

install(FILES examples/board/dxf11.txt examples/board/dxf12.txt
              examples/board/dxf13.txt
        DESTINATION samples)
configure_file(${KORVANE_PACKAGING}/run-example.cmd
               ${CMAKE_BINARY_DIR}/run-example.cmd @ONLY NEWLINE_STYLE CRLF)
install(FILES examples/board/lumbrex.ini examples/board/size.txt
              examples/board/board.txt examples/board/dxf11.txt
              examples/board/dxf12.txt examples/board/dxf13.txt
              ${CMAKE_BINARY_DIR}/run-example.cmd
        DESTINATION example)

# README.txt names the programs, so it is written once every program's
# folder has been added.
function(korvane_windows_readme)
  get_property(programs GLOBAL PROPERTY KORVANE_PROGRAMS)
  list(TRANSFORM programs APPEND .exe)
  list(JOIN programs ", " KORVANE_EXE_LIST)
  configure_file(${KORVANE_PACKAGING}/README.txt ${CMAKE_BINARY_DIR}/README.txt
                 @ONLY NEWLINE_STYLE CRLF)
endfunction()
cmake_language(DEFER CALL korvane_windows_readme)
install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_FILE_NAME ${PROJECT_NAME}-${PROJECT_VERSION}-win64)
