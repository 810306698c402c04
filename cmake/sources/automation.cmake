# Sources of the automation area; included after sortwell_core is defined.
target_sources(sortwell_core PRIVATE
    ${CMAKE_SOURCE_DIR}/config/sequence_language.cpp
    ${CMAKE_SOURCE_DIR}/config/sequence_step.cpp
    ${CMAKE_SOURCE_DIR}/config/type_text.cpp
    ${CMAKE_SOURCE_DIR}/config/window_list.cpp
)
