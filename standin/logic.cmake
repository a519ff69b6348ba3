# The stand-in shell's platform-free logic. Included by standin/CMakeLists.txt (cross builds)
# and by tests/native/standin (the native build, which has no standin folder of its own).
if(NOT TARGET zv_standin_logic)
  set(_dir ${CMAKE_CURRENT_LIST_DIR})
  zv_logic_library(zv_standin_logic
    ${_dir}/StandinText.cpp ${_dir}/Commands.cpp ${_dir}/TaskbarModel.cpp
    ${_dir}/ToolbarPlan.cpp ${_dir}/TaskbarLayout.cpp ${_dir}/TrayData.cpp)
endif()
