# The single-instance locks (flock'ed files).
target_sources(tellwick_platform PRIVATE ${CMAKE_CURRENT_LIST_DIR}/PosixInstanceGuard.cpp)
