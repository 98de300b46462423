list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/PixelTransforms.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PaintedPixels.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BaseTiles.cpp)
# Qt's images, shared with korvane-cli (see src/cli/sources.cmake).
list(APPEND KORVANE_GUI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/OrientedImage.cpp)
