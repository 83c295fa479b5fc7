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
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(TP_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(NOT TP_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TP_SANITIZE must be address, thread or empty")
endif()
