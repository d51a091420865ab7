#!/usr/bin/env bash
# Runs one Windows program of the build under Wine and returns its exit code:
#
#   wine_run.sh <program.exe> [arguments...]
#
# It is the CMAKE_CROSSCOMPILING_EMULATOR of the MinGW toolchain files, so `ctest` starts every
# Windows test through it. Each run gets a throw-away copy of one pristine Wine prefix per build
# folder, seeded from a machine scenario when the environment names one:
#
#   DRVSWEEP_SCENARIO=<name> DRVSWEEP_FIXTURES=<fixtures folder>   the scenario <fixtures>/<name>
#   DRVSWEEP_WINE_DIR=<folder>    where the prefixes live (default: <build folder>/wine)
#   DRVSWEEP_PREFIX_FILES=<host file>=<path below drive_c>[;...]
#                                 programs of the build the scenario needs in the prefix, such
#                                 as the stand-in for a registered uninstaller
#
# Needs wine and wine64 (Debian 12), and wine32:i386 for x86 programs. On a machine that cannot
# run 32-bit programs (host_runs_32bit.sh), an x86 program is not started: the run prints why
# and exits with 77, which the Windows presets' tests report as skipped. No display is needed;
# DISPLAY passes through for programs that show windows.
set -euo pipefail

readonly wine64_loader=/usr/lib/wine/wine64
readonly wine32_loader=/usr/lib/wine/wine

fail() {
    echo "wine_run.sh: $*" >&2
    exit 125
}
# A step of the set-up that fails ends the run under `set -e`; say which, so that a failed test
# never ends without a word.
trap 'echo "wine_run.sh: line $LINENO: \"$BASH_COMMAND\" failed with $?" >&2' ERR

[ $# -ge 1 ] || fail "usage: wine_run.sh <program.exe> [arguments...]"
program=$(realpath "$1")
shift
[ -f "$program" ] || fail "no program $program"

# The build folder is the nearest folder above the program that holds a CMakeCache.txt.
build_folder_of() {
    local folder
    folder=$(dirname "$1")
    while [ "$folder" != / ]; do
        if [ -f "$folder/CMakeCache.txt" ]; then
            echo "$folder"
            return
        fi
        folder=$(dirname "$folder")
    done
    dirname "$1"
}

# The loader comes from the PE header rather than from `file`, which a fresh machine may lack:
# the machine field after the "PE\0\0" signature is 0x8664 for x86-64 and 0x014c for x86.
pe_machine() {
    local header
    header=$(od -An -t u4 --endian=little -j 60 -N 4 "$1" | tr -d ' ')
    od -An -t x2 --endian=little -j $((header + 4)) -N 2 "$1" | tr -d ' '
}

case $(pe_machine "$program") in
    8664) loader=$wine64_loader ;;
    014c) loader=$wine32_loader ;;
    *) fail "$program is not an x86 or x86-64 Windows program" ;;
esac
[ -x "$wine64_loader" ] || fail "$wine64_loader is missing (install wine64)"
# Only an x86 program needs the 32-bit loader: a 64-bit program's prefix, registry and files
# are all made by 64-bit Wine.
host_32bit=yes
reason=$("$(dirname "$0")/host_runs_32bit.sh") || host_32bit=no
if [ "$loader" = "$wine32_loader" ] && [ "$host_32bit" = no ]; then
    echo "wine_run.sh: skipped: $reason" >&2
    exit 77
fi

wine_dir=${DRVSWEEP_WINE_DIR:-$(build_folder_of "$program")/wine}
pristine=$wine_dir/pristine
runs=$wine_dir/runs
mkdir -p "$runs"

# No debug channels (Wine's fixme lines would fill the test logs); no Mono or Gecko, which
# wineboot would otherwise offer to download, and no winemenubuilder, which would add menu
# entries to the host's desktop; one 64-bit wineserver serves 32- and 64-bit programs alike,
# so name it instead of letting Debian's wrapper pick one.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINESERVER=/usr/lib/wine/wineserver64
export WINEARCH=win64

# The pristine prefix is made once per build folder. ctest runs tests in parallel, so its making
# is serialised by a lock; the stamp records the Wine it was made by, because a prefix made
# before 32-bit support was there cannot run x86 programs, and one made by another Wine version
# would be updated (slowly) in every copy.
wine_stamp="$("$wine64_loader" --version) 32-bit:$host_32bit crash-dialog:off"
(
    flock 9
    if [ "$(cat "$pristine/.drvsweep-stamp" 2>/dev/null)" != "$wine_stamp" ]; then
        echo "wine_run.sh: making the pristine Wine prefix $pristine" >&2
        rm -rf "$pristine"
        LC_ALL=en_US.UTF-8 WINEPREFIX=$pristine "$wine64_loader" wineboot.exe --init >/dev/null 2>&1
        # A program that crashes gets winedbg's backtrace on stderr and ends, instead of a
        # crash dialog that nobody answers on the test display.
        WINEPREFIX=$pristine "$wine64_loader" reg.exe add 'HKCU\Software\Wine\WineDbg' \
            /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
        WINEPREFIX=$pristine "$WINESERVER" --wait
        if [ "$host_32bit" = yes ] && [ ! -d "$pristine/drive_c/windows/syswow64" ]; then
            fail "wineboot made no 32-bit support"
        fi
        # wineboot links the user's Documents, Desktop and the like to the host's home
        # folder; plain folders keep what a test writes there inside its copy.
        find "$pristine/drive_c/users" -type l | while IFS= read -r link; do
            rm "$link"
            mkdir "$link"
        done
        echo "$wine_stamp" >"$pristine/.drvsweep-stamp"
    fi
) 9>"$wine_dir/pristine.lock"

# Ends every process of a prefix copy (the program, services.exe and the like) and its
# wineserver, which would otherwise linger a few seconds, and deletes the copy. The server's
# socket and lock live in /tmp/<folder>/server-<device>-<inode of the prefix>, where <folder>
# is .wine-<uid> upstream and, on Debian, the random name kept in the prefix's "wineserver"
# file; that folder outlives the server, so it goes too.
discard_prefix() {
    local copy=$1 base folder
    [ -d "$copy" ] || return 0
    WINEPREFIX=$copy "$WINESERVER" --kill 2>/dev/null || true
    base=.wine-$(id -u)
    [ -f "$copy/wineserver" ] && base=$(cat "$copy/wineserver")
    folder=/tmp/$base/server-$(stat -c %D "$copy")-$(printf %x "$(stat -c %i "$copy")")
    rm -f "$folder/lock"
    rmdir "$folder" 2>/dev/null || true
    rm -rf "$copy"
}

# A run killed outright (a ctest timeout sends SIGKILL) cannot clean up after itself; the next
# run discards copies whose runner is gone.
for stale in "$runs"/run-*; do
    if [ -d "$stale" ] && ! kill -0 "${stale##*/run-}" 2>/dev/null; then
        discard_prefix "$stale"
    fi
done

prefix=$runs/run-$$
trap 'discard_prefix "$prefix"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# The copy. A fresh prefix is over 1 GB, nearly all of it the DLLs in system32, syswow64 and
# winsxs, which no test changes: those folders are hard-linked, the rest (the registry files,
# the Windows folder's own files) is copied for real, because Wine changes a file in place
# (attributes, registry saves) and a change to a hard-linked file would reach the pristine
# prefix. Files a scenario puts into those three folders replace the links (see below).
rm -rf "$prefix"
mkdir -p "$prefix"
big_folders=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
excludes=()
for folder in "${big_folders[@]}"; do
    excludes+=(--exclude="./$folder")
done
tar -C "$pristine" "${excludes[@]}" -cf - . | tar -C "$prefix" -xf -
for folder in "${big_folders[@]}"; do
    cp -al "$pristine/$folder" "$prefix/$folder"
done
export WINEPREFIX=$prefix

# A host path as the Windows side names it: Wine maps the host's root onto drive Z:.
windows_path() {
    local path=$1
    echo "Z:${path//\//\\}"
}

# Copies a scenario's windir/ tree into C:\windows as the program will see it. A 32-bit
# program on 64-bit Windows (Wine's prefix is one) finds syswow64 where it asks for system32,
# so for such a program the scenario's system32 goes there. Folder names are matched as the
# host spells them: a scenario uses Wine's lower-case ones (inf, system32, twain_32). cp --remove-destination unlinks a
# file before writing it, so a scenario file that replaces one of the hard-linked pristine
# files never writes through the link.
seed_windows_folder() {
    local entry name target
    for entry in "$1"/* "$1"/.[!.]*; do
        [ -e "$entry" ] || continue
        name=${entry##*/}
        target=$prefix/drive_c/windows/$name
        if [ "$loader" = "$wine32_loader" ] && [ "${name,,}" = system32 ]; then
            target=$prefix/drive_c/windows/syswow64
        fi
        if [ -d "$entry" ]; then
            mkdir -p "$target"
            cp -R --remove-destination "$entry/." "$target/"
        else
            cp --remove-destination "$entry" "$target"
        fi
    done
}

# Makes a scenario's file_facts true of the prefix. "company <path> <name>" lays the version
# resource of tests/wine/company_files.cmake for that company over the file, which the scenario's
# windir/ must hold; a company without such a file fails the run. "protected <path>" cannot be
# made true: Wine's SfcIsFileProtected protects no file (docs/wine-facts.md), so such a line is
# passed over and the contract tests expect Wine's answer. Any other line fails the run, as it
# fails the simulation's loader.
seed_file_facts() {
    local facts=$1 companies line fact rest path name key relative first target
    companies=$(build_folder_of "$program")/company_files
    while IFS= read -r line || [ -n "$line" ]; do
        line=${line%$'\r'}
        [ -n "$line" ] || continue
        fact=${line%% *}
        rest=${line#"$fact"}
        rest=${rest# }
        path=${rest%% *}
        name=${rest#"$path"}
        name=${name# }
        if [ "$fact" = protected ] && [ -n "$rest" ]; then
            continue
        fi
        [ "$fact" = company ] && [ -n "$path" ] && [ -n "$name" ] ||
            fail "$facts: \"$line\" is no fact"
        key=$(tr '[:upper:]' '[:lower:]' <<<"$name" | tr -c 'a-z0-9\n' '_')
        [ -f "$companies/$key.dll" ] ||
            fail "$facts: no $companies/$key.dll names the company \"$name\"" \
                "(tests/wine/company_files.cmake lists the companies)"
        relative=${path//\\//}
        [ -f "$scenario/windir/$relative" ] ||
            fail "$facts: $path is no file of $scenario/windir"
        target=$prefix/drive_c/windows/$relative
        first=${relative%%/*}
        if [ "$loader" = "$wine32_loader" ] && [ "${first,,}" = system32 ]; then
            target=$prefix/drive_c/windows/syswow64/${relative#*/}
        fi
        cp --remove-destination "$companies/$key.dll" "$target"
    done <"$facts"
}

locale=en_US.UTF-8
if [ -n "${DRVSWEEP_SCENARIO:-}" ]; then
    scenario=${DRVSWEEP_FIXTURES:?DRVSWEEP_FIXTURES must name the fixtures folder}/$DRVSWEEP_SCENARIO
    [ -d "$scenario" ] || fail "no scenario folder $scenario"
    scenario=$(realpath "$scenario")

    family=nt
    [ -f "$scenario/family" ] && family=$(tr -d '[:space:]' <"$scenario/family")
    language=1033
    [ -f "$scenario/language" ] && language=$(tr -d '[:space:]' <"$scenario/language")

    # Wine takes the system language and the ANSI code page from LC_ALL alone, and needs no
    # installed locale for it.
    case $language in
        2052) locale=zh_CN.UTF-8 ;;
        1028) locale=zh_TW.UTF-8 ;;
        3076) locale=zh_HK.UTF-8 ;;
    esac

    if [ -d "$scenario/windir" ]; then
        seed_windows_folder "$scenario/windir"
    fi
    if [ -f "$scenario/file_facts" ]; then
        seed_file_facts "$scenario/file_facts"
    fi

    # regedit reads an ANSI .reg file in the code page of its locale, so it runs in the
    # scenario's one. The 64-bit regedit writes every key where its path says: a scenario
    # writes HKLM\Software\WOW6432Node\... where it means the 32-bit registry view, in which
    # 32-bit programs (the maker's setup programs among them) write below HKLM\Software.
    reg_files=()
    [ -f "$scenario/machine.reg" ] && reg_files+=("$(windows_path "$scenario/machine.reg")")

    case $family in
        nt) ;;
        9x)
            # Version=win98 makes GetVersion report the 9x family and RegDeleteKeyA delete
            # subkeys (see registry_contract_test for where Wine stops short). It also makes
            # RegOpenKeyExA ignore the access mask, view flags included, so each program sees
            # its own view alone: a 64-bit program the 64-bit one, a 32-bit program the 32-bit
            # one. The 9x family has a single registry, so for an x86 program the scenario also
            # goes into the 32-bit view, through the 32-bit regedit, before the version is set.
            if [ "$loader" = "$wine32_loader" ] && [ ${#reg_files[@]} -gt 0 ]; then
                LC_ALL=$locale "$wine32_loader" 'C:\windows\syswow64\regedit.exe' /S "${reg_files[@]}"
            fi
            cat >"$prefix/family.reg" <<'EOF'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine]
"Version"="win98"
EOF
            reg_files+=("$(windows_path "$prefix/family.reg")")
            ;;
        *) fail "unknown family '$family' in $scenario/family" ;;
    esac
    if [ ${#reg_files[@]} -gt 0 ]; then
        LC_ALL=$locale "$wine64_loader" 'C:\windows\regedit.exe' /S "${reg_files[@]}"
    fi
fi

if [ -n "${DRVSWEEP_PREFIX_FILES:-}" ]; then
    IFS=';' read -r -a prefix_files <<<"$DRVSWEEP_PREFIX_FILES"
    for pair in "${prefix_files[@]}"; do
        [ -f "${pair%%=*}" ] || fail "no file ${pair%%=*} for the prefix"
        mkdir -p "$(dirname "$prefix/drive_c/${pair#*=}")"
        cp --remove-destination "${pair%%=*}" "$prefix/drive_c/${pair#*=}"
    done
fi

# The loader runs the program itself (Debian's `wine` wrapper would go through start.exe and
# lose the exit code). It runs in the background so that a signal reaches the trap at once.
status=0
LC_ALL=$locale "$loader" "$program" "$@" &
wait $! || status=$?
exit "$status"
