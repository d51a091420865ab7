#!/usr/bin/env bash
# Builds the release a second time from a copy of the sources at another path and checks that
# both programs come out byte for byte the same as build/release/ (which the release_build test
# made): nothing of the build machine's paths or of the time of the build may reach them.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
copy=$(mktemp -d /tmp/drvsweep-reproducible.XXXXXX)
trap 'rm -rf "$copy"' EXIT

cd "$root"
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH
# The working tree as it is, uncommitted changes included, without any build output.
git ls-files -z --cached --others --exclude-standard | xargs -0 tar -cf - | tar -xf - -C "$copy"
"$copy/scripts/release.sh" >/dev/null

status=0
for program in DrvSweep64.exe DrvSweep.exe; do
    if cmp -s "$root/build/release/$program" "$copy/build/release/$program"; then
        echo "$program: the same bytes from $copy"
    else
        echo "$program differs when built from $copy:" >&2
        cmp -l "$root/build/release/$program" "$copy/build/release/$program" | head -5 >&2
        status=1
    fi
done
exit "$status"
