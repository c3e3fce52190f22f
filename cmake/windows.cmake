# The Windows executables. Statically linked, so that a bare Windows runs
# them from a medium with only its own DLLs. Without the link time in their
# headers, the same source gives the same bytes, which a signer can check.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

function(startpoint_static_windows_program target)
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++ -s -Wl,--gc-sections
                      -Wl,--no-insert-timestamp)
endfunction()

add_library(startpoint_win32 STATIC src/platform/win32_platform.cpp)
target_link_libraries(startpoint_win32 PUBLIC startpoint_core shell32 advapi32)

# The manifest (asInvoker, supported Windows versions) and the version
# resource, numbered from the project version.
enable_language(RC)
set(STARTPOINT_MANIFEST ${CMAKE_SOURCE_DIR}/src/app/startpoint.manifest)
configure_file(src/app/startpoint.rc.in startpoint.rc @ONLY)

add_executable(startpoint WIN32 src/app/main.cpp ${CMAKE_BINARY_DIR}/startpoint.rc)
set_property(SOURCE ${CMAKE_BINARY_DIR}/startpoint.rc APPEND PROPERTY OBJECT_DEPENDS
             ${STARTPOINT_MANIFEST})
target_link_libraries(startpoint PRIVATE startpoint_win32 ole32)
startpoint_static_windows_program(startpoint)

add_subdirectory(tools/check)
add_subdirectory(examples)

enable_testing()
add_subdirectory(tests/wine)
