#!/usr/bin/env bash
# The command line's threaded runs, checked against coreutils; the tsan preset runs them under
# ThreadSanitizer, where a report makes quviro-cli exit non-zero and so fails the run.
#   CliThreadRuns.sh many-files QUVIRO_CLI   -r -j 8 over a few hundred files in nested folders
#   CliThreadRuns.sh overlapped QUVIRO_CLI   files of several read chunks, alone and two at a time,
#                                            and checked back with -C, with the progress line
set -euo pipefail
mode=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs quviro-cli with its arguments, output to $work/out; any exit status but 0 fails.
run() {
    local status=0
    "$cli" "$@" >"$work/out" 2>"$work/err" || status=$?
    if [[ $status -ne 0 ]]; then
        cat "$work/err" >&2
        fail "quviro-cli $* exited with $status"
    fi
}

case $mode in
many-files)
    # 320 files from empty to 40 KiB in 16 folders two levels deep.
    for d in $(seq 0 15); do
        folder="$work/tree/d$((d % 4))/s$d"
        mkdir -p "$folder"
        for f in $(seq 0 19); do
            head -c $(((d * 20 + f) * 131 % 40960)) /dev/urandom >"$folder/f$f.bin"
        done
    done
    (cd "$work" && find tree -type f -print0 | xargs -0 sha256sum | LC_ALL=C sort) >"$work/expected"
    [[ $(wc -l <"$work/expected") -eq 320 ]] || fail "the tree does not hold 320 files"
    for jobs in 8 3; do
        (cd "$work" && run -r -j "$jobs" tree)
        LC_ALL=C sort "$work/out" >"$work/sorted"
        cmp -s "$work/sorted" "$work/expected" || fail "-r -j $jobs differs from sha256sum"
        [[ ! -s "$work/err" ]] || fail "-r -j $jobs wrote to standard error: $(head -c 400 "$work/err")"
    done
    # The lines come in walk order whatever the number of jobs.
    (cd "$work" && run -r -j 1 tree)
    mv "$work/out" "$work/one-job"
    (cd "$work" && run -r -j 8 tree)
    cmp -s "$work/out" "$work/one-job" || fail "-j 8 orders its lines differently from -j 1"
    ;;
overlapped)
    # Sizes around whole 4 MiB chunks: just over two, and several with a short tail.
    head -c $((8 * 1024 * 1024 + 1)) /dev/urandom >"$work/two-chunks-and-a-byte"
    head -c $((13 * 1024 * 1024 + 777)) /dev/urandom >"$work/several-chunks"
    for name in two-chunks-and-a-byte several-chunks; do
        expected=$(sha256sum <"$work/$name" | cut -d' ' -f1)
        run --progress "$work/$name"
        [[ $(cat "$work/out") == "$expected" ]] || fail "$name: $(cat "$work/out") instead of $expected"
    done
    (cd "$work" && sha256sum two-chunks-and-a-byte several-chunks) >"$work/expected"
    # With the list's progress line, drawn by a thread of its own from the jobs' counts.
    (cd "$work" && run --progress -j 2 two-chunks-and-a-byte several-chunks)
    cmp -s "$work/out" "$work/expected" || fail "-j 2 over both files differs from sha256sum"
    (cd "$work" && run --progress -C expected)
    [[ $(grep -c ': OK$' "$work/out") -eq 2 ]] || fail "-C over both files: $(cat "$work/out")"
    ;;
*)
    fail "unknown run $mode"
    ;;
esac
echo "passed: $mode"
