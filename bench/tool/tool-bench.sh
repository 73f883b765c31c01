#!/bin/sh
# Whole-process speed and memory of fichelia-page on 200,000 generated
# contacts, each measure against what a user would run instead, all in the
# same run:
#   write from TSV          against Debian's abook converting its own address
#                           book to HTML (target: faster, in no more memory)
#   write --from vcard      against abook converting the same vCard file to
#                           HTML (target: faster, in no more memory)
#   write --from csv        against write from TSV (target: within 2x)
#   read of the page        against a plain C fgets loop over the same file
#                           (target: within 3x)
# Times are hyperfine's medians of wall-clock time; the ratios hold on a busy
# machine better than the times do. Memory is the peak resident size of one
# run of each, from GNU time. Needs hyperfine, abook and time (Debian
# packages).
#   bench/tool/tool-bench.sh [RUNS] [CONTACTS]     (default 10 and 200000)
set -eu

root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-10}
contacts=${2:-200000}
for program in hyperfine abook /usr/bin/time; do
    if ! command -v "$program" >/dev/null; then
        echo "tool-bench.sh needs $program: apt-get install $program" >&2
        exit 1
    fi
done

cd "$root"
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target fichelia-page fichelia_tool_inputs fichelia_fgets_lines >/dev/null
build="$root/build-bench"
tool="$build/tools/fichelia-page/fichelia-page"

work=$(mktemp -d "${TMPDIR:-/tmp}/fichelia-tool-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
"$build/bench/fichelia_tool_inputs" "$work" "$contacts"

# The three inputs must give one page, or the timings compare different work.
"$tool" write "$work/contacts.tsv" >"$work/page.html"
for input in "--from csv $work/contacts.csv" "--from vcard $work/contacts.vcf"; do
    # shellcheck disable=SC2086
    "$tool" write $input | cmp -s - "$work/page.html" || { echo "write $input gives another page" >&2; exit 1; }
done
ls -l "$work" | awk 'NR > 1 { printf "  %-12s %6.1f MB\n", $9, $5 / 1e6 }'

hyperfine -N --warmup 2 --runs "$runs" --output null --style basic --export-csv "$work/times.csv" \
    -n write-tsv "$tool write $work/contacts.tsv" \
    -n abook "abook --convert --informat abook --infile $work/addressbook --outformat html --outfile /dev/null" \
    -n write-csv "$tool write --from csv $work/contacts.csv" \
    -n write-vcard "$tool write --from vcard $work/contacts.vcf" \
    -n abook-vcard "abook --convert --informat vcard --infile $work/contacts.vcf --outformat html --outfile /dev/null" \
    -n read "$tool read $work/page.html" \
    -n fgets "$build/bench/fichelia_fgets_lines $work/page.html" >/dev/null

# Peak memory, one run each.
peak() {
    name=$1
    shift
    /usr/bin/time -f "$name,%M" -a -o "$work/memory.csv" "$@" >/dev/null
}
: >"$work/memory.csv"
peak write-tsv "$tool" write "$work/contacts.tsv"
peak abook abook --convert --informat abook --infile "$work/addressbook" --outformat html --outfile /dev/null
peak write-vcard "$tool" write --from vcard "$work/contacts.vcf"
peak abook-vcard abook --convert --informat vcard --infile "$work/contacts.vcf" --outformat html --outfile /dev/null

awk -F, '
    FILENAME ~ /memory/ { memory[$1] = $2; next }
    FNR > 1 { median[$1] = $4 }
    function line(name, base, target) {
        ratio = median[name] / median[base]
        printf "%-12s %8.1f ms  %5.2fx %-12s target %-6s %s\n", name, median[name] * 1000, ratio, base,
               "<" target "x", ratio < target ? "met" : "MISSED"
    }
    function memoryLine(name, base) {
        ratio = memory[name] / memory[base]
        printf "%-12s %8.1f MB  %5.2fx %-12s target %-6s %s\n", name, memory[name] / 1000, ratio, base, "<=1x",
               ratio <= 1 ? "met" : "MISSED"
    }
    END {
        print "\nmedians of wall-clock time, ratio to the baseline of the same run:"
        line("write-tsv", "abook", 1)
        line("write-vcard", "abook-vcard", 1)
        line("write-csv", "write-tsv", 2)
        line("read", "fgets", 3)
        printf "%-12s %8.1f ms\n%-12s %8.1f ms\n%-12s %8.1f ms\n", "abook", median["abook"] * 1000, "abook-vcard",
               median["abook-vcard"] * 1000, "fgets", median["fgets"] * 1000
        print "\npeak resident memory, ratio to the baseline of the same run:"
        memoryLine("write-tsv", "abook")
        memoryLine("write-vcard", "abook-vcard")
        printf "%-12s %8.1f MB\n%-12s %8.1f MB\n", "abook", memory["abook"] / 1000, "abook-vcard",
               memory["abook-vcard"] / 1000
    }' "$work/memory.csv" "$work/times.csv"
