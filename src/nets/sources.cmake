# The nets of the project: the net list as the panel shows it, the ratsnest of a net, and the nets checked
# against the traced copper (copper regions and the connectivity check).
list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/NetList.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Ratsnest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CopperRuns.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ConnectivityCheck.cpp)
# The Nets panel and the window of a connectivity check's findings.
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/NetsPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CheckWindow.cpp)
