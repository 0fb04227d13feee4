# Moving sounds between slots: move up/down/to, swap, sort, drag and drop.
target_sources(tw_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/library_table_view.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sound_reorderer.cpp
)
