list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FloodFill.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PaintedSpans.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TraceRecords.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TraceReplay.cpp)
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/TracesWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FillQuestionDialog.cpp)
