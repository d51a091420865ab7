#!/usr/bin/env bash
# Runs an end-to-end test program and takes the screenshots it asks for:
#
#   ui_session.sh <screenshot folder> <command> [arguments...]
#
# The program (see screenshot_request.h) writes <name>.request into the folder that
# DRVSWEEP_HANDSHAKE names, holding an X window id or "root"; this script saves that window as
# <screenshot folder>/<name>.png with ImageMagick's import and answers with <name>.done. Needs a
# display (with_xvfb.sh gives one). Returns the command's exit code.
set -euo pipefail

[ $# -ge 2 ] || { echo "usage: ui_session.sh <screenshot folder> <command> [arguments...]" >&2; exit 125; }
screenshots=$1
shift
mkdir -p "$screenshots"

handshake=$(mktemp -d)
export DRVSWEEP_HANDSHAKE=$handshake
cleanup() { rm -rf "$handshake"; }
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

serve_requests() {
    local request name window
    for request in "$handshake"/*.request; do
        [ -e "$request" ] || continue
        name=$(basename "$request" .request)
        window=$(head -n 1 "$request")
        if ! import -window "$window" "$screenshots/$name.png" 2>/dev/null; then
            import -window root "$screenshots/$name.png"
        fi
        rm -f "$request"
        touch "$handshake/$name.done"
    done
}

"$@" &
program=$!
while kill -0 "$program" 2>/dev/null; do
    serve_requests
    sleep 0.1
done
status=0
wait "$program" || status=$?
exit "$status"
