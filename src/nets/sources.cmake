# The nets of the project: the net list as the panel shows it and the ratsnest of a net.
list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/NetList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Ratsnest.cpp)
# The Nets panel and the window of a connectivity check's findings.
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/NetsPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckWindow.cpp)
