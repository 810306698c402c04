# Sources of the filing area; included after sortwell_core is defined.
target_sources(sortwell_core PRIVATE
    ${CMAKE_SOURCE_DIR}/desk/filing.cpp
    ${CMAKE_SOURCE_DIR}/desk/detection.cpp
    ${CMAKE_SOURCE_DIR}/desk/document_stability.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/posix_document_files.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/freedesktop_trash.cpp
    ${CMAKE_SOURCE_DIR}/platform/linux/move_journal.cpp
)
