# The small dialogs: wait box, rename, location chooser, autoload settings, help, about.
target_sources(tw_app PRIVATE
    about_box.cpp
    dialog_layout.cpp
    frm_autoload_settings.cpp
    frm_help.cpp
    frm_patch_edit_simple.cpp
    frm_select_location.cpp
    frm_sysex_receiver.cpp
)
