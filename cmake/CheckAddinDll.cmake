# Checks the add-in DLL's import and export tables (cmake -DOBJDUMP=... -DDLL=... -P this).
# Fails when it imports a non-system DLL (the MinGW runtime, or MAPI32 statically) or exports
# anything but the COM entry points.
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
set(forbidden "")
foreach(line IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${line}")
  string(TOLOWER "${name}" lower)
  if(lower MATCHES "^(libstdc\\+\\+|libgcc|libwinpthread|mapi32)")
    list(APPEND forbidden ${name})
  endif()
endforeach()
if(forbidden)
  message(FATAL_ERROR "${DLL} imports ${forbidden}")
endif()

# The export name table: "\t[   0] DllCanUnloadNow" lines. The brackets go first: CMake
# lists do not split inside them.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\] [^\n]+\n)*)"
       table "${dump}")
string(REGEX REPLACE "[ \t]+\\[[ 0-9]+\\] " "" names "${CMAKE_MATCH_1}")
string(STRIP "${names}" names)
string(REPLACE "\n" ";" exports "${names}")
list(SORT exports)
set(expected DllCanUnloadNow DllGetClassObject DllInstall DllRegisterServer DllUnregisterServer)
if(NOT exports STREQUAL expected)
  message(FATAL_ERROR "${DLL} exports '${exports}', expected '${expected}'")
endif()
