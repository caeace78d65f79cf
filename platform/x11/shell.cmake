# The global hot key and the desktop geometry on X11.
target_sources(tellwick_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/X11HotKey.cpp
    ${CMAKE_CURRENT_LIST_DIR}/X11Desktop.cpp)
