# regscript.exe run as a user runs it, under the emulator: a script file and -e in order, a
# syntax error with its place and exit status 1, piped input as the script, a refused name.
#   cmake -DHOST=regscript.exe -DEMULATOR=wine -DWORK=dir -P command_line_host.cmake
# Each run is written out: arguments passed through a function would be split at their ';'.
file(MAKE_DIRECTORY ${WORK})
file(WRITE ${WORK}/six.regs "x = 6;\n")

# Checks the last run's exit status, and that its standard output and error match the patterns.
function(expect label exit_status out_pattern err_pattern)
  if(NOT status STREQUAL exit_status OR NOT out MATCHES "${out_pattern}" OR NOT err MATCHES "${err_pattern}")
    message(FATAL_ERROR "${label}: exit status ${status} (expected ${exit_status})\n"
                        "standard output (expected to match ${out_pattern}):\n${out}\n"
                        "standard error (expected to match ${err_pattern}):\n${err}")
  endif()
endfunction()

set(run WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)

execute_process(COMMAND ${EMULATOR} ${HOST} six.regs -e "x * 7;" --result ${run})
expect(file_then_text 0 "result=6.*result=42.*result: 42" "^$")

execute_process(COMMAND ${EMULATOR} ${HOST} -e "1 1;" ${run})
expect(syntax_error 1 "error: parse error" "-e:1:3: error: `;` expected before `1`")

execute_process(COMMAND ${EMULATOR} ${HOST} INPUT_FILE ${WORK}/six.regs ${run})
expect(piped_input 0 "result=6" "^$")

execute_process(COMMAND ${EMULATOR} ${HOST} -i " y =4" ${run})
expect(bad_name 2 "^$" "' y ' is not a name")
