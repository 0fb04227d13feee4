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
    local ended_properly=false
    # A killed server may linger as a zombie until it is reaped: not running.
    if kill -0 "$pid" 2>/dev/null && [[ $(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) != Z ]]; then
        kill -TERM "$pid"
        for _ in $(seq 50); do
            if ! kill -0 "$pid" 2>/dev/null; then
                ended_properly=true
                break
            fi
            sleep 0.1
        done
        $ended_properly || kill -KILL "$pid"
    fi
    rm -f "$pidfile"
    # A server killed (by a test, or above) leaves its entry in JACK's table;
    # it can be given back once the process is gone, zombie included.
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if ! $ended_properly && [[ -f $1/server ]]; then
        reclaim_name "$(cat "$1/server")"
    fi
}

# JACK keeps a machine-wide table of a few servers (eight). A server that was
# killed keeps its entry until a server of the same name starts again, so
# killed test servers would in time leave no room for any new one. Starting a
# server of the stale name and stopping it properly gives the entry back; a
# name whose server is alive refuses to start and is left alone.
reclaim_name() {
    local name=$1 pid
    setsid jackd -n "$name" -r -d dummy -r 48000 -p 256 </dev/null >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0 # alive elsewhere, or no room
        JACK_DEFAULT_SERVER=$name jack_lsp >/dev/null 2>&1 && break
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
}

# The names of the servers in the table, as their shared-memory files show them.
registered_names() {
    local file
    for file in /dev/shm/jack_*_0_0; do
        [[ -e $file ]] || continue
        file=${file#/dev/shm/jack_}
        echo "${file%_0_0}"
    done
}

start_jackd() {
    local server=$1 state=$2 period=$3
    # -r: no realtime scheduling, which a container or an ordinary user lacks.
    # -S -t 5000: every cycle waits for slow clients instead of dropping their
    # MIDI events when the machine is busy (sanitizer builds, parallel tests).
    setsid jackd -n "$server" -r -S -t 5000 -d dummy -r 48000 -p "$period" \
        </dev/null >"$state/jackd.log" 2>&1 &
    echo $! >"$state/jackd.pid"
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
    rm -f "$state/reclaimed"
    start_jackd "$server" "$state" "$period"
    pid=$(cat "$state/jackd.pid")
    for _ in $(seq 100); do
        if JACK_DEFAULT_SERVER=$server jack_lsp >/dev/null 2>&1; then
            echo "JACK server $server running as process $pid"
            exit 0
        fi
        if ! kill -0 "$pid" 2>/dev/null && grep -q "Too many servers" "$state/jackd.log" &&
            [[ ! -e $state/reclaimed ]]; then
            # The table is full of servers that were killed: give their entries back, once.
            touch "$state/reclaimed"
            for name in $(registered_names); do
                [[ $name != "$server" ]] && reclaim_name "$name"
            done
            start_jackd "$server" "$state" "$period"
            pid=$(cat "$state/jackd.pid")
            continue
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
