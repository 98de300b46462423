# The mapping between the two layers: fitted from point pairs, stored in the project, found automatically.
list(APPEND KORVANE_LOGIC_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/AffineMap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Alignment.cpp
    ${CMAKE_CURRENT_LIST_DIR}/AutoAlign.cpp)
