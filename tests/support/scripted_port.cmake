# The scripted serial port double: a PortBackend for the interposed Pontel
# functions (see PortBackend.h).
add_library(scripted_port STATIC ${CMAKE_CURRENT_LIST_DIR}/ScriptedPort.cpp)
target_include_directories(scripted_port PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(scripted_port PUBLIC port_interposer ccommon)
ccbench_warnings(scripted_port)
