# What the Windows build (MinGW-w64) does differently: the C runtime's number printing, the DLL's
# names and exports, and the runtimes it carries.

# MinGW's own C99 printf family rather than msvcrt's, which spells infinity "1.#INF", prints
# three exponent digits and lacks "%a" and "%F": the texts the library prints must not change
# with the C runtime. Public, so that the tests print their expectations the same way.
target_compile_definitions(regscript_objects PUBLIC __USE_MINGW_ANSI_STDIO=1)

# regscript.dll and its import library regscript.dll.a. --kill-at exports the __stdcall
# functions under their plain names (run_parser, not run_parser@8), the names that
# include/regscript.def lists. -static links libgcc, libstdc++ and winpthread into the DLL, so
# that it needs nothing but the system's DLLs.
set_target_properties(regscript PROPERTIES PREFIX "" IMPORT_PREFIX "")
target_link_options(regscript PRIVATE -static -Wl,--kill-at)

# Release DLLs carry no debug information (the static runtimes bring theirs along otherwise).
target_link_options(regscript PRIVATE $<$<NOT:$<CONFIG:Debug,RelWithDebInfo>>:-s>)

# The version resource, which Windows' file properties and installers read.
enable_language(RC)
configure_file(cmake/regscript.rc.in ${CMAKE_CURRENT_BINARY_DIR}/regscript.rc @ONLY)
target_sources(regscript PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/regscript.rc)

# The linker's import library for --kill-at names its symbols without @N (_run_parser), so that
# callers of the __stdcall functions, which refer to _run_parser@8, could not link with it.
# dlltool makes it again from the objects' export directives: _run_parser@8 imports run_parser.
# Without --kill-at it writes those names out, from which llvm-dlltool makes regscript.lib, the import library
# of the Microsoft toolchain, and regscript.def, the exports as callers name them.
include(GNUInstallDirs)
find_program(LLVM_DLLTOOL llvm-dlltool REQUIRED)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(dlltool_machine i386:x86-64)
else()
  set(dlltool_machine i386)
endif()
set(callers_names ${CMAKE_CURRENT_BINARY_DIR}/callers_names.def)
add_custom_command(TARGET regscript POST_BUILD
  COMMAND ${CMAKE_DLLTOOL} --kill-at --dllname $<TARGET_FILE_NAME:regscript>
          --output-lib $<TARGET_LINKER_FILE:regscript> $<TARGET_OBJECTS:regscript_objects>
  COMMAND ${CMAKE_DLLTOOL} --output-def ${callers_names} $<TARGET_OBJECTS:regscript_objects>
  COMMAND ${CMAKE_COMMAND} -DNAMES=${callers_names} -DDLL=$<TARGET_FILE_NAME:regscript>
          -DDEF=$<TARGET_FILE_DIR:regscript>/regscript.def -DLIBRARY=$<TARGET_FILE_DIR:regscript>/regscript.lib
          -DDLLTOOL=${LLVM_DLLTOOL} -DMACHINE=${dlltool_machine}
          -P ${PROJECT_SOURCE_DIR}/cmake/MsvcImportLibrary.cmake
  COMMAND_EXPAND_LISTS
  VERBATIM)
install(FILES $<TARGET_FILE_DIR:regscript>/regscript.lib $<TARGET_FILE_DIR:regscript>/regscript.def
  DESTINATION ${CMAKE_INSTALL_LIBDIR})

# The test programs that follow carry their runtimes too, so that they run without the MinGW
# DLLs on the path.
add_link_options(-static)
