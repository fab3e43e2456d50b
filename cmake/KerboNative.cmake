# Native (Linux) configuration: the window-system-free units plus the native
# halves of their platform seams.
add_library(kerbo_native STATIC ${KERBO_NATIVE_SOURCES})
target_link_libraries(kerbo_native PUBLIC kerbo_core)
set(KERBO_PLATFORM_LIBRARY kerbo_native)
# kerbo_core calls back into its platform halves (showMessage, the document's
# brushes), so each library needs the other on the link line.
target_link_libraries(kerbo_core PUBLIC kerbo_native)
