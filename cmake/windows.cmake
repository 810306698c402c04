# The windows: the desk, the Configuration and Edit Button dialogs, and the components they
# are built from. Qt; built with the program only.
add_library(sortwell_windows STATIC
    ${CMAKE_SOURCE_DIR}/components/qstatus.cpp ${CMAKE_SOURCE_DIR}/components/qstatus.h
    ${CMAKE_SOURCE_DIR}/components/mask_edit.cpp ${CMAKE_SOURCE_DIR}/components/mask_edit.h
    ${CMAKE_SOURCE_DIR}/components/file_dialog.cpp ${CMAKE_SOURCE_DIR}/components/file_dialog.h
    ${CMAKE_SOURCE_DIR}/components/qbrfolder.cpp ${CMAKE_SOURCE_DIR}/components/qbrfolder.h
    ${CMAKE_SOURCE_DIR}/components/dialog_frame.cpp ${CMAKE_SOURCE_DIR}/components/dialog_frame.h
    ${CMAKE_SOURCE_DIR}/desk/desk_services.cpp
    ${CMAKE_SOURCE_DIR}/desk/desk_icons.cpp
    ${CMAKE_SOURCE_DIR}/desk/tform1.cpp ${CMAKE_SOURCE_DIR}/desk/tform1.h
    ${CMAKE_SOURCE_DIR}/desk/desk_face.h
    ${CMAKE_SOURCE_DIR}/desk/tform1_settings.cpp
    ${CMAKE_SOURCE_DIR}/desk/tform1_grid.cpp
    ${CMAKE_SOURCE_DIR}/desk/tform1_tray.cpp
    ${CMAKE_SOURCE_DIR}/desk/tform1_detection.cpp
    ${CMAKE_SOURCE_DIR}/desk/tform1_filing.cpp
    ${CMAKE_SOURCE_DIR}/desk/tform1_entry.cpp
    ${CMAKE_SOURCE_DIR}/app/desk_windows.cpp ${CMAKE_SOURCE_DIR}/app/desk_windows.h
    ${CMAKE_SOURCE_DIR}/config/tform2.cpp ${CMAKE_SOURCE_DIR}/config/tform2.h
    ${CMAKE_SOURCE_DIR}/config/tform3.cpp ${CMAKE_SOURCE_DIR}/config/tform3.h
    ${CMAKE_SOURCE_DIR}/config/configuration_face.h
    ${CMAKE_SOURCE_DIR}/config/tform3_buttons.cpp
    ${CMAKE_SOURCE_DIR}/config/tform3_names.cpp
    ${CMAKE_SOURCE_DIR}/config/tform3_general.cpp
    ${CMAKE_SOURCE_DIR}/config/tform3_automation.cpp
    ${CMAKE_SOURCE_DIR}/config/tform3_runner.cpp
)
target_link_libraries(sortwell_windows PUBLIC sortwell_widgets)
target_compile_definitions(sortwell_windows PRIVATE SORTWELL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
set_target_properties(sortwell_windows PROPERTIES AUTOMOC ON)
