# Windows configuration: the Win32 units, the resource script and the player.
enable_language(RC)

add_library(kerbo_win32 STATIC ${KERBO_WIN32_SOURCES})
target_link_libraries(kerbo_win32 PUBLIC kerbo_core)
target_compile_definitions(kerbo_core PUBLIC WINVER=0x0601 _WIN32_WINNT=0x0601)
target_link_libraries(kerbo_win32 PUBLIC user32 gdi32 kernel32 shell32 ole32 oleaut32 uuid comctl32)
set(KERBO_PLATFORM_LIBRARY kerbo_win32)
# kerbo_core calls back into its platform halves (showMessage, the document's
# brushes), so each library needs the other on the link line.
target_link_libraries(kerbo_core PUBLIC kerbo_win32)

if(NOT MSVC)
  # One executable without runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()

set(KERBO_RESOURCE_SCRIPT ${CMAKE_SOURCE_DIR}/resources/kerbo.rc)

# The player without a quiz: the authoring tool adds one to a copy of it.
add_executable(kerbo-player WIN32 ${CMAKE_SOURCE_DIR}/shell/winmain_win32.cpp ${KERBO_RESOURCE_SCRIPT})
target_link_libraries(kerbo-player PRIVATE kerbo_win32)
if(NOT MSVC)
  target_link_options(kerbo-player PRIVATE -mwindows)
endif()
