# Tests of the user guide's pages and of finding and opening them.
tw_add_test(test_help_pages SOURCES help_pages_test.cpp LIBRARIES tw_app tw_qt_test_main)
target_compile_definitions(test_help_pages PRIVATE
    GUIDE_SOURCE_DIR="${PROJECT_SOURCE_DIR}/docs/guide"
    GUIDE_PROGRAM_COPY="$<TARGET_FILE_DIR:tonewright>/guide")
