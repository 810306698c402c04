# Processes killed mid-write and file systems that refuse; included by tests/CMakeLists.txt.
# The scripts take an iteration count: CI runs a few, a release check runs many by hand.
add_executable(save_forever ${CMAKE_CURRENT_SOURCE_DIR}/faults/save_forever.cpp)
target_link_libraries(save_forever PRIVATE sortwell_core)

add_executable(fault_probe ${CMAKE_CURRENT_SOURCE_DIR}/faults/fault_probe.cpp)
target_link_libraries(fault_probe PRIVATE sortwell_core)

add_test(NAME settings_save_survives_kill
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/faults/kill_during_save.sh
            $<TARGET_FILE:save_forever> 20)
set_tests_properties(settings_save_survives_kill PROPERTIES TIMEOUT 60)

# The target is on /dev/shm; skipped where that is the source's file system or too small.
add_test(NAME document_move_survives_kill
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/faults/kill_during_move.sh
            $<TARGET_FILE:fault_probe> 10 20)
set_tests_properties(document_move_survives_kill PROPERTIES TIMEOUT 60 SKIP_RETURN_CODE 77)

# Cases that need mount or chattr +i report themselves as not run where those are refused.
add_test(NAME refused_writes_lose_nothing
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/faults/refusals.sh $<TARGET_FILE:fault_probe>)
set_tests_properties(refused_writes_lose_nothing PROPERTIES TIMEOUT 60)

# The same faults at each system call of a move and of a save in turn; needs strace.
add_test(NAME kill_at_each_step_loses_nothing
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/faults/kill_at_each_step.sh
            $<TARGET_FILE:fault_probe> $<TARGET_FILE:save_forever>)
set_tests_properties(kill_at_each_step_loses_nothing PROPERTIES TIMEOUT 60 SKIP_RETURN_CODE 77)
