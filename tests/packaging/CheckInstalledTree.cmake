# Uses the installed tree the way its users do.
#   METHOD=cmake       builds the consumer project through find_package(regscript) and the
#                      imported target regscript::regscript, then runs it
#   METHOD=pkg-config  builds it with the flags of regscript.pc (skipped without pkg-config)
#   METHOD=host        runs the installed command-line host, which must find the installed library
#   METHOD=documented-host  builds the complete host of docs/host-api.md (HOST_PROGRAM, as the
#                      documents' test extracts it) with the installed headers and library, then
#                      runs it
# Also given: INSTALL_TREE, BINDIR, CONSUMER_SOURCE, WORK_DIR, GENERATOR, C_COMPILER, FLAGS (for
# the compiler and linker; may be empty) and VERSION.

# Runs a command and keeps what it printed in `output`; stops the test when it fails.
function(run)
  execute_process(COMMAND ${ARGV} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "failed (${status}): ${ARGV}\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()

# Runs pkg-config on the installed regscript.pc; `variable` receives what it prints.
function(pkg_config variable)
  run(${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir} ${PKG_CONFIG} ${ARGN} regscript)
  string(STRIP "${output}" output)
  set(${variable} "${output}" PARENT_SCOPE)
endfunction()

function(build_with_cmake)
  run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE} -B ${WORK_DIR} -G ${GENERATOR}
      -DCMAKE_C_COMPILER=${C_COMPILER} "-DCMAKE_C_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}"
      -DCMAKE_PREFIX_PATH=${INSTALL_TREE} -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DREGSCRIPT_VERSION=${VERSION})
  run(${CMAKE_COMMAND} --build ${WORK_DIR})
endfunction()

function(build_with_pkg_config)
  file(GLOB_RECURSE pc_file ${INSTALL_TREE}/*/regscript.pc)
  get_filename_component(pc_dir "${pc_file}" DIRECTORY)
  pkg_config(version --modversion)
  if(NOT version STREQUAL VERSION)
    message(FATAL_ERROR "regscript.pc gives the version '${version}', not ${VERSION}")
  endif()
  pkg_config(compile_flags --cflags --libs)
  pkg_config(libdir --variable=libdir)
  separate_arguments(compile_flags UNIX_COMMAND "${compile_flags}")
  separate_arguments(flags UNIX_COMMAND "${FLAGS}")
  run(${C_COMPILER} ${flags} ${CONSUMER_SOURCE}/consumer.c ${compile_flags} -Wl,-rpath,${libdir}
      -o ${WORK_DIR}/consumer)
endfunction()

# Only what the installed tree holds: its include folder and the folder of its library.
function(build_documented_host)
  file(GLOB_RECURSE library ${INSTALL_TREE}/*/libregscript.so)
  get_filename_component(libdir "${library}" DIRECTORY)
  separate_arguments(flags UNIX_COMMAND "${FLAGS}")
  run(${C_COMPILER} ${flags} -Wall -Werror ${HOST_PROGRAM} -I${INSTALL_TREE}/include -L${libdir} -lregscript
      -Wl,-rpath,${libdir} -o ${WORK_DIR}/host_program)
endfunction()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
if(METHOD STREQUAL "host")
  run(${INSTALL_TREE}/${BINDIR}/regscript -i answer=42 --expand "answer=[answer]")
  set(expected "answer=42")
elseif(METHOD STREQUAL "documented-host")
  build_documented_host()
  run(${WORK_DIR}/host_program)
  set(expected "note after delete_variable: type -1")
elseif(METHOD STREQUAL "cmake")
  build_with_cmake()
  run(${WORK_DIR}/consumer)
  set(expected "consumer: ok")
elseif(METHOD STREQUAL "pkg-config")
  find_program(PKG_CONFIG pkg-config)
  if(NOT PKG_CONFIG)
    message("SKIPPED: pkg-config is not installed")
    return()
  endif()
  build_with_pkg_config()
  run(${WORK_DIR}/consumer)
  set(expected "consumer: ok")
else()
  message(FATAL_ERROR "unknown METHOD '${METHOD}'")
endif()
string(FIND "${output}" "${expected}" found)
if(found EQUAL -1)
  message(FATAL_ERROR "expected '${expected}' in:\n${output}")
endif()
