# The help window.
target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/QtHelpViewer.cpp)
