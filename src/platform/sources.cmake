list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FileDialogState.cpp
    ${CMAKE_CURRENT_LIST_DIR}/DataFolder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ProgramOptions.cpp)
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/QtUi.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Registry.cpp
    ${CMAKE_CURRENT_LIST_DIR}/tooltiptext.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FormControls.cpp
    ${CMAKE_CURRENT_LIST_DIR}/UserActivation.cpp)
