# Taskbar snapshot and mover: the grouping and the move decisions (platform-free), and the
# reading of the shell's toolbar and the moves carried out on it; the notification area's
# toolbar, read and moved the same way.
zv_logic_library(zv_taskbuttons_logic ${CMAKE_CURRENT_LIST_DIR}/taskbuttons.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/toolbarread.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/taskmove.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/RefreshCheck.cpp
                 ${CMAKE_CURRENT_LIST_DIR}/IconCache.cpp)

zv_win_library(zv_taskbuttons ${CMAKE_CURRENT_LIST_DIR}/taskbuttons_win.cpp
               ${CMAKE_CURRENT_LIST_DIR}/Taskbar_win.cpp
               ${CMAKE_CURRENT_LIST_DIR}/trayicons_win.cpp
               ${CMAKE_CURRENT_LIST_DIR}/RefreshCheck_win.cpp)
if(WIN32)
  target_link_libraries(zv_taskbuttons PUBLIC zv_taskbuttons_logic zv_memmgr zv_toolkit)
endif()

# The icon channel: loading images.dll, the requests and the replies. The library shares the
# platform-free part (message names, the handed-over blocks).
zv_logic_library(zv_loader_hook_logic ${CMAKE_CURRENT_LIST_DIR}/loader_hook.cpp)

zv_win_library(zv_loader_hook ${CMAKE_CURRENT_LIST_DIR}/loader_hook_win.cpp)
if(WIN32)
  target_link_libraries(zv_loader_hook PUBLIC zv_loader_hook_logic zv_taskbuttons)
endif()
