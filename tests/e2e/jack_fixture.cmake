# A private JACK server (dummy driver) for tests that need a real MIDI server.
# Add such a test with
#   tw_add_jack_test(NAME name COMMAND program args...)
# It runs after the server has started, with JACK_DEFAULT_SERVER naming it,
# and is reported as skipped where jackd is not installed.
#
# The server name is unique per build tree, so test runs of several build
# trees on one machine do not share a server.
string(MD5 _tw_jack_hash "${CMAKE_BINARY_DIR}")
string(SUBSTRING "${_tw_jack_hash}" 0 10 _tw_jack_hash)
set(TW_JACK_SERVER "tw-test-${_tw_jack_hash}")
set(TW_JACK_STATE "${CMAKE_BINARY_DIR}/jack-fixture")
set(TW_JACK_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/jack_server.sh")
set(TW_JACK_ENVIRONMENT
    "JACK_DEFAULT_SERVER=${TW_JACK_SERVER}"
    "JACK_NO_AUDIO_RESERVATION=1"
    "JACK_NO_START_SERVER=1")

add_test(NAME jack_server_start COMMAND ${TW_JACK_SCRIPT} start ${TW_JACK_SERVER} ${TW_JACK_STATE})
set_tests_properties(jack_server_start PROPERTIES
    FIXTURES_SETUP jack SKIP_RETURN_CODE 77 TIMEOUT 30)
add_test(NAME jack_server_stop COMMAND ${TW_JACK_SCRIPT} stop ${TW_JACK_STATE})
set_tests_properties(jack_server_stop PROPERTIES FIXTURES_CLEANUP jack TIMEOUT 30)

function(tw_add_jack_test)
    cmake_parse_arguments(ARG "" "NAME;TIMEOUT" "COMMAND" ${ARGN})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    add_test(NAME ${ARG_NAME} COMMAND ${TW_JACK_SCRIPT} run ${TW_JACK_STATE} ${ARG_COMMAND})
    # Alone: the dummy server waits for every client each cycle, so a busy
    # machine (sanitizer builds, other tests) stalls the whole graph.
    set_tests_properties(${ARG_NAME} PROPERTIES
        FIXTURES_REQUIRED jack
        RUN_SERIAL TRUE
        SKIP_RETURN_CODE 77
        TIMEOUT ${ARG_TIMEOUT}
        ENVIRONMENT "${TW_JACK_ENVIRONMENT}")
endfunction()
