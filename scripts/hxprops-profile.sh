#!/usr/bin/env bash
# Profiles hxprops end to end under callgrind (the default case, or the arguments given) and reports
# how the instructions divide between libkvt and the reference host.
#
# Inclusive costs are summed over the call edges that cross between objects:
#   - edges into libkvt from outside it: everything spent inside the library's exported routines;
#   - edges from libkvt into the reference host: the host's flash, stream utilities and property monitor
#     that the library calls back (part of the above);
#   - edges into the reference host from anything but libkvt: the program's own use of the host (databank,
#     component set, work-array layout, stream set-up).
# libkvt's own share is the first less the second (its code and the libc/libm it calls itself).
#
# Usage: scripts/hxprops-profile.sh [hxprops arguments...]     KVT_PROFILE_BUILD=DIR to pick the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v valgrind >/dev/null || { echo "valgrind is missing (Debian package valgrind)" >&2; exit 1; }

build=${KVT_PROFILE_BUILD:-build/profile}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKVT_BUILD_TESTS=OFF -DKVT_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target hxprops -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$work/callgrind.out" \
  "$build/apps/hxprops/hxprops" "$@" >"$work/stdout" 2>"$work/valgrind.log"

python3 - "$work/callgrind.out" <<'PY'
import re, sys

names = {"ob": {}, "fn": {}}
def name_of(kind, text):
    # "(id) name" defines a compressed name, "(id)" refers to it, plain text is a name.
    m = re.match(r"\((\d+)\)\s*(.*)", text)
    if not m:
        return text
    if m.group(2):
        names[kind][m.group(1)] = m.group(2)
    return names[kind].get(m.group(1), text)

def kind(obj):
    if "libkvt_reference_host" in obj:
        return "host"
    if re.search(r"/libkvt\.so", obj):
        return "kvt"
    return "other"

total = 0
into_kvt = kvt_to_host = other_to_host = 0
ob = cob = None
pending_call = False
with open(sys.argv[1]) as f:
    for line in f:
        line = line.rstrip("\n")
        if line.startswith("ob="):
            ob = name_of("ob", line[3:]); cob = None
        elif line.startswith("cob="):
            cob = name_of("ob", line[4:])
        elif line.startswith("fn="):
            name_of("fn", line[3:]); cob = None
        elif line.startswith("cfn=") or line.startswith("cfi=") or line.startswith("cfl="):
            if line.startswith("cfn="):
                name_of("fn", line[4:])
        elif line.startswith("calls="):
            pending_call = True
        elif line.startswith(("summary:", "totals:")):
            total = max(total, int(line.split()[1]))
        elif pending_call and line and (line[0].isdigit() or line[0] in "+-*"):
            cost = int(line.split()[1]) if len(line.split()) > 1 else 0
            caller, callee = kind(ob), kind(cob if cob is not None else ob)
            if callee == "kvt" and caller != "kvt":
                into_kvt += cost
            elif caller == "kvt" and callee == "host":
                kvt_to_host += cost
            elif callee == "host" and caller != "host":
                other_to_host += cost
            pending_call = False
            cob = None

kvt_own = into_kvt - kvt_to_host
rest = total - into_kvt - other_to_host
pct = lambda x, of=total: 100.0 * x / of if of else 0.0
print(f"hxprops under callgrind: {total:,} instructions (Ir) in all")
print(f"  inside libkvt's routines (inclusive)      {into_kvt:>13,} Ir  {pct(into_kvt):5.1f} %")
print(f"    libkvt's own code                       {kvt_own:>13,} Ir  {pct(kvt_own):5.1f} %  ({pct(kvt_own, into_kvt):.1f} % of the library calls)")
print(f"    the reference host, called by libkvt        {kvt_to_host:>13,} Ir  {pct(kvt_to_host):5.1f} %  ({pct(kvt_to_host, into_kvt):.1f} % of the library calls)")
print(f"  the reference host, called by the program     {other_to_host:>13,} Ir  {pct(other_to_host):5.1f} %  (databank, components, streams)")
print(f"  the program itself, runtime and loader    {rest:>13,} Ir  {pct(rest):5.1f} %  (TOML, CLI, tables, start-up)")
host_all = kvt_to_host + other_to_host
print(f"library vs host: libkvt {pct(kvt_own, kvt_own + host_all):.1f} %, reference host {pct(host_all, kvt_own + host_all):.1f} % of the time the two take")
PY
