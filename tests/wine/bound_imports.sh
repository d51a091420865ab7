#!/usr/bin/env bash
# Fails when the program imports any of the named functions statically: those are bound at run
# time, because the systems that lack them would refuse to load a program that imports them.
#
#   bound_imports.sh <objdump> <program.exe> <function>...
set -euo pipefail
objdump=$1 program=$2
shift 2
imports=$("$objdump" -p "$program" | awk -F'\t' '/^\tDLL Name:/ { dll = $2; sub(/^DLL Name: /, "", dll) } /^\t[0-9a-f]+\t/ { split($3, f, " "); print dll, f[2] }')
[ -n "$imports" ] || { echo "no import table read from $program" >&2; exit 1; }
status=0
for function in "$@"; do
    if grep -qw -- "$function" <<<"$imports"; then
        echo "$program imports $function statically: $(grep -w -- "$function" <<<"$imports")" >&2
        status=1
    fi
done
exit "$status"
