#!/usr/bin/env bash
# A real reader of both formats: pcb-rnd loads our KiCad net list and our Protel net list of the same
# project and saves each as a tEDAx net list. Both must hold the same connections, and every node the
# KiCad file lists, for the demo and for a project of awkward names (quotes, blanks, "CS#", "D[0]",
# backslashes, bytes beyond ASCII). pcb-rnd exits with 0 even when a file does not load, so the count of
# connections is checked as well. Usage: tests/interop/pcb-rnd-netlists.sh [path/to/korvane-cli]
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/../.."
cli=$(realpath "${1:-build/korvane-cli}")
source scripts/deps.sh
korvane_install_missing pcb-rnd pcb-rnd-io-alien

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The sorted tEDAx "conn" lines that pcb-rnd makes of a net list. $1: the load action, $2: the file.
connections() {
    (cd "$work" && printf '%s(%s)\nSaveTedax(netlist, out.tdx)\n' "$1" "$2" |
        HOME="$work" pcb-rnd --gui batch >"$work/pcb-rnd.log" 2>&1) || true
    if [ ! -f "$work/out.tdx" ]; then
        echo "pcb-rnd wrote no net list for $2:" >&2
        tail -n 20 "$work/pcb-rnd.log" >&2
        return 1
    fi
    grep -a '^ conn ' "$work/out.tdx" | sort || true
    rm -f "$work/out.tdx"
}

status=0
for project in examples/demo/demo.kvp tests/data/export/awkward.kvp; do
    name=$(basename "$project" .kvp)
    "$cli" export "$project" --netlist "$work/$name.net" --kicad-netlist "$work/$name.kicad.net"
    protel=$(connections LoadProtelNetFrom "$name.net")
    kicad=$(connections LoadEeschemaFrom "$name.kicad.net")
    nodes=$(grep -ac '(node ' "$work/$name.kicad.net" || true)
    count=$(printf '%s' "$kicad" | grep -ac '^ conn ' || true)
    if [ "$protel" != "$kicad" ] || [ "$count" -ne "$nodes" ] || [ "$nodes" -eq 0 ]; then
        echo "-- $name: pcb-rnd reads $count of $nodes nodes; Protel (<) and KiCad (>) differ:"
        diff <(printf '%s\n' "$protel") <(printf '%s\n' "$kicad") || true
        status=1
    else
        echo "-- $name: the same $count connections from both net lists"
    fi
done
exit "$status"
