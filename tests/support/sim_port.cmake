# SimPort: the in-process virtual validator as a port backend for tests that
# run the real library or the window against the ccsim device model.
if(TARGET ccsim_core)
    add_library(sim_port STATIC ${CMAKE_CURRENT_LIST_DIR}/SimPort.cpp)
    target_include_directories(sim_port PUBLIC ${CMAKE_CURRENT_LIST_DIR})
    target_link_libraries(sim_port PUBLIC ccsim_core port_interposer)
    ccbench_warnings(sim_port)
endif()
