# Tests of the computer-key note player, its panel and the MIDI settings dialog.
tw_add_test(test_note_player
    SOURCES ../midi/note_player_test.cpp
    LIBRARIES tw_midi GTest::gtest_main)
tw_add_test(test_keyboard_panel
    SOURCES keyboard_panel_test.cpp frm_settings_test.cpp
    LIBRARIES tw_app tw_qt_test_main)
