# The pad listing window.
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PadListWindow.cpp)

# Pad markers, pad records, name lists and the pad properties dialog.
list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PadMarkers.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PadText.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PadJournal.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PadBoard.cpp)
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PadPropertiesDialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PadPropertiesForm.cpp)
