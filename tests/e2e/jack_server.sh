#!/usr/bin/env bash
# Runs a private JACK server with the dummy driver for the end-to-end tests.
#   jack_server.sh start SERVER STATE_DIR [PERIOD]
#                                           start it, wait until it answers; PERIOD
#                                           is frames a cycle at 48 kHz (default 256)
#   jack_server.sh stop STATE_DIR           stop it
#   jack_server.sh run STATE_DIR CMD...     run CMD against it; exit 77 (skip) without jackd
set -uo pipefail
export JACK_NO_AUDIO_RESERVATION=1 JACK_NO_START_SERVER=1
skip=77

stop_server() {
    local pidfile=$1/jackd.pid
    [[ -f $pidfile ]] || return 0
    local pid
    pid=$(cat "$pidfile")
    if kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid"
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$pid" 2>/dev/null && kill -KILL "$pid"
    fi
    rm -f "$pidfile"
}

case ${1:-} in
start)
    server=$2 state=$3 period=${4:-256}
    if [[ ! $period =~ ^[1-9][0-9]*$ ]]; then
        echo "the period is a number of frames, not \"$period\"" >&2
        exit 2
    fi
    if ! command -v jackd >/dev/null; then
        echo "jackd is not installed: the JACK tests are skipped"
        exit $skip
    fi
    mkdir -p "$state"
    stop_server "$state" # left over from an interrupted run
    echo "$server" >"$state/server"
    # -r: no realtime scheduling, which a container or an ordinary user lacks.
    # -S -t 5000: every cycle waits for slow clients instead of dropping their
    # MIDI events when the machine is busy (sanitizer builds, parallel tests).
    setsid jackd -n "$server" -r -S -t 5000 -d dummy -r 48000 -p "$period" \
        </dev/null >"$state/jackd.log" 2>&1 &
    pid=$!
    echo "$pid" >"$state/jackd.pid"
    for _ in $(seq 100); do
        if JACK_DEFAULT_SERVER=$server jack_lsp >/dev/null 2>&1; then
            echo "JACK server $server running as process $pid"
            exit 0
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "jackd ended at start:"
            cat "$state/jackd.log"
            rm -f "$state/jackd.pid"
            exit 1
        fi
        sleep 0.1
    done
    echo "jackd did not answer within 10 seconds:"
    cat "$state/jackd.log"
    stop_server "$state"
    exit 1
    ;;
stop)
    stop_server "$2"
    ;;
run)
    state=$2
    shift 2
    if ! command -v jackd >/dev/null; then
        echo "jackd is not installed: skipped"
        exit $skip
    fi
    if [[ ! -f $state/jackd.pid ]] || ! kill -0 "$(cat "$state/jackd.pid")" 2>/dev/null; then
        echo "the JACK server of the test fixture is not running"
        exit 1
    fi
    exec "$@"
    ;;
*)
    echo "usage: $0 start SERVER STATE_DIR [PERIOD] | stop STATE_DIR | run STATE_DIR CMD..." >&2
    exit 2
    ;;
esac
