# Makes the Microsoft toolchain's import library LIBRARY of the DLL named DLL with the llvm-dlltool
# DLLTOOL for MACHINE (i386, i386:x86-64). NAMES is dlltool's list of the exports as callers name
# them (run_parser@8 on x86). Without dlltool's ordinals, which need not be the DLL's, it becomes
# DEF, and --kill-at then declares each name as callers write it and imports the DLL's plain one.
cmake_minimum_required(VERSION 3.20)

file(STRINGS ${NAMES} names REGEX "^[ \t]+[A-Za-z_]")
set(def "LIBRARY ${DLL}\nEXPORTS\n")
foreach(name IN LISTS names)
  string(REGEX REPLACE "[ \t]*@ [0-9]+$" "" name "${name}")
  string(STRIP "${name}" name)
  string(APPEND def "    ${name}\n")
endforeach()
file(WRITE ${DEF} "${def}")
execute_process(COMMAND ${DLLTOOL} -m ${MACHINE} --kill-at -d ${DEF} -l ${LIBRARY} COMMAND_ERROR_IS_FATAL ANY)
