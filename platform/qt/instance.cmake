# Activation of the running copy over a local socket.
# (Linux only: on Windows the running copy's hidden application window is activated.) The recent
# window that either way brings forward: everywhere.
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/RecentWindowTracker.cpp)
if(NOT WIN32)
    target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/QtInstanceActivation.cpp)
endif()
