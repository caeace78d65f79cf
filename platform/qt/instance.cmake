# Activation of the running copy over a local socket.
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/QtInstanceActivation.cpp)
