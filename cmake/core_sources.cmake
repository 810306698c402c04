# The logic and the host operations, without Qt. Shared by the program, the tests and the
# fuzz build (which compiles them again with its own instrumentation).
set(SORTWELL_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/../components/qdreg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../components/qdreg_ini.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../components/qdreg_registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../components/qdreg_system.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/settings_tree.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/utf8.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/native_host.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/xdg_paths.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/atomic_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/posix_file_access.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/settings_file_format.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/settings_file_backend.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/xdg_autostart.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/xdg_user_dirs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/proc_program_location.cpp
    ${CMAKE_CURRENT_LIST_DIR}/../platform/linux/unix_socket_channel.cpp
)
