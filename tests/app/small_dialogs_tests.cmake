# Tests of the small dialogs.
tw_add_test(test_small_dialogs
    SOURCES small_dialogs_test.cpp wait_box_test.cpp
    LIBRARIES tw_app tw_qt_test_main)
