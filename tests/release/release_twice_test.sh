#!/usr/bin/env bash
# Builds the release twice, from two copies of the sources at different paths, at different
# times and in different time zones, and expects the same bytes. Then signs the first copy's
# release with a throw-away certificate authority and code-signing certificate, and checks
# both signatures against that authority, that DrvSweep.exe carries the signed DrvSweep64.exe,
# the checksums, and that no password file is left behind. An unsigned build after that gives
# the unsigned bytes again.
#
#   release_twice_test.sh SOURCE_DIR
#
# Only the release presets are built, in copies under a temporary folder: nothing of the
# source tree's own build folders is used.
set -euo pipefail

source_dir=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here=$work/a/DrvSweep
there=$work/second-build/somewhat/longer/path/DrvSweep

# The sources under test: tracked and new files as they are now, build folders excluded.
copy_sources() {
    mkdir -p "$1"
    (cd "$source_dir" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do
            if [ -e "$file" ]; then printf '%s\0' "$file"; fi
        done | tar --null -T - -cf -) | tar -xf - -C "$1"
}
copy_sources "$here"
copy_sources "$there"

release() {
    local tree=$1
    shift
    if ! "$tree/scripts/release.sh" "$@" >"$tree.log" 2>&1; then
        cat "$tree.log" >&2
        echo "FAIL: scripts/release.sh $* in $tree" >&2
        return 1
    fi
}

# The two builds share the machine's cores; the second starts later and in another time zone.
release "$here" &
first=$!
sleep 5
TZ=Asia/Shanghai release "$there" &
second=$!
status=0
wait "$first" || status=1
wait "$second" || status=1
[ "$status" -eq 0 ] || exit 1

for file in DrvSweep64.exe DrvSweep.exe SHA256SUMS; do
    if ! cmp "$here/build/release/$file" "$there/build/release/$file"; then
        echo "FAIL: two builds of the same sources give different $file" >&2
        status=1
    fi
done
[ "$status" -eq 0 ] || exit 1
cp "$here/build/release/DrvSweep64.exe" "$work/unsigned64.exe"
cp "$here/build/release/DrvSweep.exe" "$work/unsigned.exe"
echo "Two builds at different paths and times gave the same bytes:"
cat "$here/build/release/SHA256SUMS"

# A throw-away certificate authority and a code-signing certificate it issued.
ca=$work/ca
mkdir "$ca"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=DrvSweep Test CA" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" \
    -keyout "$ca/ca.key" -out "$ca/ca.pem" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -subj "/CN=DrvSweep Test Publisher" \
    -keyout "$ca/signer.key" -out "$ca/signer.csr" 2>/dev/null
printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
    "extendedKeyUsage=codeSigning" >"$ca/signer.ext"
openssl x509 -req -in "$ca/signer.csr" -CA "$ca/ca.pem" -CAkey "$ca/ca.key" -CAcreateserial \
    -days 2 -extfile "$ca/signer.ext" -out "$ca/signer.pem" 2>/dev/null
export password="test pass $$"
openssl pkcs12 -export -inkey "$ca/signer.key" -in "$ca/signer.pem" -passout env:password \
    -out "$ca/signer.pfx"

# Signing: the password only in the environment; the script's temporary files in a folder of
# their own, which must be empty afterwards.
mkdir "$work/tmp"
TMPDIR=$work/tmp DRVSWEEP_SIGN_PASSWORD=$password release "$here" --sign "$ca/signer.pfx"
release_dir=$here/build/release
if ! grep -q "^Signed with" "$here.log"; then
    echo "FAIL: the signed release does not say it is signed" >&2
    status=1
fi
for file in DrvSweep64.exe DrvSweep.exe; do
    if ! osslsigncode verify -CAfile "$ca/ca.pem" -in "$release_dir/$file" >"$work/verify.log" 2>&1; then
        cat "$work/verify.log" >&2
        echo "FAIL: the signature of $file does not verify against the test authority" >&2
        status=1
    elif ! grep -q "Message digest algorithm *: SHA256" "$work/verify.log"; then
        cat "$work/verify.log" >&2
        echo "FAIL: $file is not signed with SHA-256" >&2
        status=1
    fi
done
if cmp -s "$release_dir/DrvSweep64.exe" "$work/unsigned64.exe"; then
    echo "FAIL: DrvSweep64.exe was not signed" >&2
    status=1
fi
python3 "$here/tests/release/check_carried_program.py" "$release_dir/DrvSweep.exe" \
    "$release_dir/DrvSweep64.exe" || status=1
(cd "$release_dir" && sha256sum -c SHA256SUMS) || status=1
if [ -n "$(ls -A "$work/tmp")" ]; then
    echo "FAIL: signing left files behind: $(ls -A "$work/tmp")" >&2
    status=1
fi

# Signing leaves the unsigned build as it was.
release "$here"
if ! grep -q "^Unsigned" "$here.log"; then
    echo "FAIL: the unsigned release does not say it is unsigned" >&2
    status=1
fi
cmp "$release_dir/DrvSweep64.exe" "$work/unsigned64.exe" || status=1
cmp "$release_dir/DrvSweep.exe" "$work/unsigned.exe" || status=1
exit "$status"
