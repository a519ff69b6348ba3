# Taskbar snapshot: the grouping logic (platform-free) and the reading of the shell's toolbar.
zv_logic_library(zv_taskbuttons_logic ${CMAKE_CURRENT_LIST_DIR}/taskbuttons.cpp)

zv_win_library(zv_taskbuttons ${CMAKE_CURRENT_LIST_DIR}/taskbuttons_win.cpp)
if(WIN32)
  target_link_libraries(zv_taskbuttons PUBLIC zv_taskbuttons_logic zv_memmgr zv_toolkit)
endif()
