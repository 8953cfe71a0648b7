# Helpers shared by every folder of the build.
#
# The build tree holds a drive C of its own, ${TAVELIO_DRIVE_C_BUILD}: tests run against it
# and it is the template a user's drive C is made from. Installed, the template is split as
# the FHS wants it: the programs (architecture-dependent) under ${TAVELIO_LIB_INSTALL}/drive_c
# beside the helpers no one types, the data under ${TAVELIO_DRIVE_C_INSTALL}.

set(TAVELIO_DRIVE_C_BUILD ${CMAKE_BINARY_DIR}/drive_c)
set(TAVELIO_DRIVE_C_INSTALL ${CMAKE_INSTALL_DATADIR}/tavelio/drive_c)
set(TAVELIO_LIB_INSTALL lib/tavelio)
# The tool folder below drive C, read from its one name: kToolFolder in platform/drivec.h.
file(STRINGS ${PROJECT_SOURCE_DIR}/platform/drivec.h tool_folder REGEX "kToolFolder\\[\\] = ")
string(REGEX REPLACE "^.*\"c:(.*)\".*$" "\\1" tool_folder "${tool_folder}")
string(REGEX REPLACE "(\\\\)+" "/" tool_folder "${tool_folder}")
string(REGEX REPLACE "^/|/$" "" TAVELIO_TOOL_SUBDIR "${tool_folder}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/drivec.h)

# tavelio_install_programs(<destination> <target>...)
# Installs programs and lists them for the `programs` target, which builds what running
# needs and nothing else (no tests, no benchmarks).
function(tavelio_install_programs destination)
  install(TARGETS ${ARGN} RUNTIME DESTINATION ${destination})
  set_property(GLOBAL APPEND PROPERTY TAVELIO_PROGRAMS ${ARGN})
endfunction()

# tavelio_drive_program(<target> <subdir> <file-name>)
# Puts an executable on drive C as <subdir>/<file-name>, in the build tree and the template.
function(tavelio_drive_program target subdir file_name)
  get_filename_component(stem ${file_name} NAME_WLE)
  get_filename_component(ext ${file_name} LAST_EXT)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${stem}
    SUFFIX "${ext}"
    RUNTIME_OUTPUT_DIRECTORY ${TAVELIO_DRIVE_C_BUILD}/${subdir})
  tavelio_install_programs(${TAVELIO_LIB_INSTALL}/drive_c/${subdir} ${target})
endfunction()

# tavelio_add_tool(<name> <sources>...)
# An image tool in the tool folder, named <name>.exe as its command lines spell it.
function(tavelio_add_tool name)
  add_executable(tool_${name} ${ARGN})
  target_link_libraries(tool_${name} PRIVATE tavelio_imaging)
  tavelio_drive_program(tool_${name} ${TAVELIO_TOOL_SUBDIR} ${name}.exe)
endfunction()

# tavelio_drive_data(<subdir> <files>...)
# Copies data files onto drive C, in the build tree and the template.
function(tavelio_drive_data subdir)
  foreach(file ${ARGN})
    get_filename_component(name ${file} NAME)
    configure_file(${file} ${TAVELIO_DRIVE_C_BUILD}/${subdir}/${name} COPYONLY)
  endforeach()
  install(FILES ${ARGN} DESTINATION ${TAVELIO_DRIVE_C_INSTALL}/${subdir})
endfunction()

# The helpers every test may share: check macros, scratch folders and drive C, the fakes of
# the platform's seams, the tool runner. Headers only; each test links what they call.
add_library(tavelio_testsupport INTERFACE)
target_include_directories(tavelio_testsupport INTERFACE ${PROJECT_SOURCE_DIR}/tests/support)

# tavelio_add_test(<name> <sources>... LIBS <libs>...)
# A test executable run by ctest, headless, with a drive C of its own.
function(tavelio_add_test name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  add_executable(${name} ${T_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${T_LIBS} tavelio_testsupport)
  target_compile_definitions(${name} PRIVATE
    TAVELIO_BUILD_DRIVE_C="${TAVELIO_DRIVE_C_BUILD}"
    TAVELIO_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    TAVELIO_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
