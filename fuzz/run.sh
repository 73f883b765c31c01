#!/usr/bin/env bash
# Runs one fuzz target for a set time, one process:
#
#   fuzz/run.sh fuzz_reader|fuzz_roundtrip|fuzz_writer_escapes|fuzz_import SECONDS [libFuzzer options...]
#
# Builds the fuzz preset first (build-fuzz/, clang, libFuzzer with AddressSanitizer
# and UndefinedBehaviorSanitizer). The seeds of fuzz/corpus/ and the dictionary
# fuzz/page.dict (for fuzz_import, fuzz/import-corpus/ and fuzz/import.dict)
# are used as they are; new inputs the fuzzer keeps go to a scratch
# folder outside the repository ($FICHELIA_FUZZ_WORK, by default
# /tmp/fichelia-fuzz/TARGET), which later runs start from. A crash, a broken
# property, a timeout or a memory limit exceeded leaves its input in fuzz/crashes/.
# The log is also kept in the scratch folder; libFuzzer's last "Done N runs" line
# gives the executions. The exit status is the fuzzer's: 0 when nothing was found.
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 fuzz_reader|fuzz_roundtrip|fuzz_writer_escapes|fuzz_import SECONDS [libFuzzer options...]" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2
seeds=corpus
dict=page.dict
case $target in
fuzz_reader | fuzz_roundtrip | fuzz_writer_escapes) ;;
fuzz_import)
    seeds=import-corpus
    dict=import.dict
    ;;
*)
    echo "$0: unknown target $target" >&2
    exit 2
    ;;
esac

fuzz_dir=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$fuzz_dir")
work=${FICHELIA_FUZZ_WORK:-/tmp/fichelia-fuzz/$target}
mkdir -p "$work/corpus" "$fuzz_dir/crashes"

cd "$source_dir"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz --target "$target"

# Memory: libFuzzer stops on an input that makes the process exceed 1 GB or
# asks for more than 64 MB at once; pages of the inputs' size need far less.
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
"build-fuzz/fuzz/$target" \
    -max_total_time="$seconds" \
    -dict="$fuzz_dir/$dict" \
    -artifact_prefix="$fuzz_dir/crashes/$target-" \
    -rss_limit_mb=1024 \
    -malloc_limit_mb=64 \
    -timeout=10 \
    -print_final_stats=1 \
    "$@" \
    "$work/corpus" "$fuzz_dir/$seeds" 2>&1 | tee "$work/last-run.log"
