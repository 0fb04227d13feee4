# The user guide: static pages opened in the system's browser from the Help menu.
target_sources(tw_app PRIVATE ${CMAKE_CURRENT_LIST_DIR}/help_pages.cpp)

set(tw_guide_source_dir ${PROJECT_SOURCE_DIR}/docs/guide)
# Found there as a last resort: a program run from a build tree, and the tests.
target_compile_definitions(tw_app PRIVATE TONEWRIGHT_GUIDE_SOURCE_DIR="${tw_guide_source_dir}")

# A copy next to the tonewright executable, so a build tree runs like an
# installed program. The executable is made in this folder, per configuration
# with a multi-configuration generator.
if(CMAKE_RUNTIME_OUTPUT_DIRECTORY)
    set(tw_guide_exe_dir ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
else()
    set(tw_guide_exe_dir ${CMAKE_CURRENT_BINARY_DIR})
endif()
get_property(tw_guide_multi_config GLOBAL PROPERTY GENERATOR_IS_MULTI_CONFIG)
if(tw_guide_multi_config)
    string(APPEND tw_guide_exe_dir "/$<CONFIG>")
endif()
set(tw_guide_copy ${tw_guide_exe_dir}/guide)

file(GLOB tw_guide_files CONFIGURE_DEPENDS ${tw_guide_source_dir}/*)
set(tw_guide_stamp ${tw_guide_exe_dir}/guide.stamp)
add_custom_command(
    OUTPUT ${tw_guide_stamp}
    # Emptied first, so a page removed from the sources does not linger.
    COMMAND ${CMAKE_COMMAND} -E rm -rf ${tw_guide_copy}
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${tw_guide_source_dir} ${tw_guide_copy}
    COMMAND ${CMAKE_COMMAND} -E touch ${tw_guide_stamp}
    DEPENDS ${tw_guide_files}
    COMMENT "Copying the user guide next to tonewright"
    VERBATIM)
add_custom_target(tw_help_guide DEPENDS ${tw_guide_stamp})
# tonewright links tw_app, so every build of the program copies the guide.
add_dependencies(tw_app tw_help_guide)

install(DIRECTORY ${tw_guide_source_dir}/ DESTINATION share/tonewright/guide)
