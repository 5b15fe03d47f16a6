# Puts beside the installed quillora.exe what windeployqt would on Windows,
# for a cross build on Linux, where windeployqt does not exist: the Qt
# libraries, the platform, style and image plug-ins, Qt's Russian texts and
# the MinGW run-time DLLs, found by reading the import tables of the program
# and the plug-ins. Run at install time (install(CODE) in app/) with:
#   QUILLORA_DEPLOY_DIR      the installed program folder
#   QUILLORA_DEPLOY_PLUGINS  plug-in DLLs, each as "subfolder|path"
#   QUILLORA_DEPLOY_SEARCH   folders to find the imported DLLs in
#   QUILLORA_DEPLOY_QM       Qt's Russian translation (qtbase_ru.qm), may be empty
#   QUILLORA_DEPLOY_OBJDUMP  the target's objdump
#   QUILLORA_DEPLOY_STRIP    the target's strip, used when the install strips

cmake_policy(PUSH)
cmake_policy(SET CMP0057 NEW)  # IN_LIST

set(_dir "${QUILLORA_DEPLOY_DIR}")
set(_libraries)
foreach(_entry IN LISTS QUILLORA_DEPLOY_PLUGINS)
  string(REPLACE "|" ";" _parts "${_entry}")
  list(GET _parts 0 _sub)
  list(GET _parts 1 _path)
  file(INSTALL DESTINATION "${_dir}/${_sub}" TYPE SHARED_LIBRARY FILES "${_path}")
  get_filename_component(_name "${_path}" NAME)
  list(APPEND _libraries "${_dir}/${_sub}/${_name}")
endforeach()

# The DLLs that the program and the plug-ins import, and what those import
# in turn, taken from the folders searched. The import tables name them in
# any case, the folders on Linux are case-sensitive: names are compared in
# lower case. Windows' own DLLs are in none of the folders.
set(_available)
foreach(_folder IN LISTS QUILLORA_DEPLOY_SEARCH)
  file(GLOB _dlls "${_folder}/*.dll")
  list(APPEND _available ${_dlls})
endforeach()
set(_pending "${_dir}/quillora.exe" ${_libraries})
# objdump's headings are translated ("Имя DLL:" under a Russian locale).
set(ENV{LC_ALL} C)
set(_done)
while(_pending)
  list(POP_FRONT _pending _file)
  execute_process(COMMAND "${QUILLORA_DEPLOY_OBJDUMP}" -p "${_file}"
                  OUTPUT_VARIABLE _dump RESULT_VARIABLE _rc)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "cannot read the imports of ${_file}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" _imports "${_dump}")
  foreach(_import IN LISTS _imports)
    string(REGEX REPLACE "^DLL Name: " "" _import "${_import}")
    string(STRIP "${_import}" _import)
    string(TOLOWER "${_import}" _lower)
    if(_lower IN_LIST _done)
      continue()
    endif()
    list(APPEND _done "${_lower}")
    foreach(_candidate IN LISTS _available)
      get_filename_component(_name "${_candidate}" NAME)
      string(TOLOWER "${_name}" _name)
      if(_name STREQUAL _lower)
        file(INSTALL DESTINATION "${_dir}" TYPE SHARED_LIBRARY FILES "${_candidate}")
        get_filename_component(_name "${_candidate}" NAME)
        list(APPEND _libraries "${_dir}/${_name}")
        list(APPEND _pending "${_dir}/${_name}")
        break()
      endif()
    endforeach()
  endforeach()
endwhile()
foreach(_needed Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll)
  if(NOT EXISTS "${_dir}/${_needed}")
    message(FATAL_ERROR "${_needed} was not found in ${QUILLORA_DEPLOY_SEARCH}")
  endif()
endforeach()
# Qt's DLLs carry their symbols: stripped, the package is a third as large.
if(CMAKE_INSTALL_DO_STRIP AND QUILLORA_DEPLOY_STRIP)
  foreach(_dll IN LISTS _libraries)
    execute_process(COMMAND "${QUILLORA_DEPLOY_STRIP}" --strip-unneeded "${_dll}" RESULT_VARIABLE _rc)
    if(NOT _rc EQUAL 0)
      message(FATAL_ERROR "could not strip ${_dll}")
    endif()
  endforeach()
endif()
# A DLL of Qt or MinGW that was not found would stop the program at start.
foreach(_dll IN LISTS _system)
  if(_dll MATCHES "^(Qt6|lib)")
    message(FATAL_ERROR "${_dll}, which the program needs, was not found in ${QUILLORA_DEPLOY_SEARCH}")
  endif()
endforeach()

if(QUILLORA_DEPLOY_QM)
  file(INSTALL DESTINATION "${_dir}/translations" TYPE FILE FILES "${QUILLORA_DEPLOY_QM}")
else()
  message(WARNING "no qtbase_ru.qm (Debian: qt6-translations-l10n): Qt's own buttons stay English")
endif()

cmake_policy(POP)
