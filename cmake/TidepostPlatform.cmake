# Platform-wide settings: which host adapters are built, static runtime on Windows, sanitizers.
if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
  set(TP_WINDOWS ON)
  # The add-in DLL and the test programs must run on a bare Windows (or Wine) with nothing
  # but system DLLs: link libgcc, libstdc++ and winpthread statically.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE)
else()
  set(TP_WINDOWS OFF)
endif()

if(TP_SANITIZE STREQUAL "address")
  # Every finding stops the program, so that a test that provokes one fails.
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # GCC's flow analysis cannot see through the address sanitizer's instrumentation: since
    # GCC 12 it reports variables as maybe uninitialized that are not (GCC bug 105616, in
    # <regex> among others) and overlapping copies in std::string assignments that cannot
    # overlap (bug 105329). The plain builds keep both warnings.
    add_compile_options(-Wno-maybe-uninitialized -Wno-restrict)
  endif()
elseif(TP_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT TP_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TP_SANITIZE must be address, thread or empty")
endif()
