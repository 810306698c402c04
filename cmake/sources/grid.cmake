# Sources of the grid area; included after sortwell_core is defined.
target_sources(sortwell_core PRIVATE
    ${CMAKE_SOURCE_DIR}/desk/folder_pattern.cpp
    ${CMAKE_SOURCE_DIR}/desk/button_grid.cpp
    ${CMAKE_SOURCE_DIR}/desk/date_entry.cpp
    ${CMAKE_SOURCE_DIR}/config/hide_list.cpp
)
