# Sources of the model area; included after sortwell_core is defined.
target_sources(sortwell_core PRIVATE
    ${CMAKE_SOURCE_DIR}/desk/settings_model.cpp
)
