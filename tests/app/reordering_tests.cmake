# Tests of moving sounds between slots.
tw_add_test(test_reordering
    SOURCES sound_reorderer_test.cpp library_table_view_test.cpp
    LIBRARIES tw_app tw_qt_test_main)
