# The computer-key note player's panel and key tracking, and the MIDI settings dialog.
target_sources(tw_app PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/frm_settings.cpp
    ${CMAKE_CURRENT_LIST_DIR}/key_tracker.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyboard_panel.cpp
)
