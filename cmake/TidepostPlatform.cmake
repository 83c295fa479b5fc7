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

# How much debugging information the compilers write where the build type asks for it: "full"
# (-g, for a debugger) or "lines" (-g1: sanitizer reports and backtraces keep their files, lines
# and inlined frames; compiling takes about a third less time). The first configure takes the
# TP_DEBUG_INFO environment variable; CI builds with "lines".
if(DEFINED ENV{TP_DEBUG_INFO})
  set(tp_debug_info_default $ENV{TP_DEBUG_INFO})
else()
  set(tp_debug_info_default full)
endif()
set(TP_DEBUG_INFO ${tp_debug_info_default} CACHE STRING "Debugging information: full or lines")
set_property(CACHE TP_DEBUG_INFO PROPERTY STRINGS full lines)
if(TP_DEBUG_INFO STREQUAL "lines")
  add_compile_options(
    "$<$<AND:$<COMPILE_LANGUAGE:C,CXX>,$<CONFIG:Debug,RelWithDebInfo>>:-g1>")
elseif(NOT TP_DEBUG_INFO STREQUAL "full")
  message(FATAL_ERROR "TP_DEBUG_INFO must be full or lines")
endif()
