#!/usr/bin/env bash
# Runs one command with a display of its own and returns the command's exit code:
#
#   with_xvfb.sh <command> [arguments...]
#
# An Xvfb server starts on a display number that it picks itself (-displayfd), so that tests
# running in parallel never race for the same number, and it is stopped when the command ends.
# A DISPLAY already set is not used: the tests move the pointer and press keys, which must not
# reach someone's desktop. The screen is 24-bit: Xvfb's default depth of 8 would turn
# screenshots into a palette.
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: with_xvfb.sh <command> [arguments...]" >&2; exit 125; }

command -v Xvfb >/dev/null || { echo "with_xvfb.sh: Xvfb is missing (install xvfb)" >&2; exit 125; }

number_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
server=$!
stop_server() {
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    rm -f "$number_file"
}
trap stop_server EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# Xvfb writes the number once it accepts connections.
for _ in $(seq 100); do
    [ -s "$number_file" ] && break
    kill -0 "$server" 2>/dev/null || { echo "with_xvfb.sh: Xvfb did not start" >&2; exit 125; }
    sleep 0.05
done
[ -s "$number_file" ] || { echo "with_xvfb.sh: Xvfb gave no display number" >&2; exit 125; }
export DISPLAY=:$(head -n 1 "$number_file")

status=0
"$@" &
wait $! || status=$?
exit "$status"
