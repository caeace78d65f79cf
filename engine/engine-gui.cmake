# The engine's windows: the reminder pop-up.
if(TELLWICK_GUI)
    target_sources(tellwick_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/Rem_Popup.cpp ${CMAKE_CURRENT_LIST_DIR}/Rem_Popup.h
        ${CMAKE_CURRENT_LIST_DIR}/EngineWiring.h)
endif()
