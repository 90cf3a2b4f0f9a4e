#!/usr/bin/env bash
# Lists the files whose file-local names would meet another file's in a unity batch, whatever
# the batches turn out to be: it compiles (syntax only) each library and test binary as one
# batch of all its files, in a scratch build tree. A clean tree prints "No names meet.".
# Usage: tools/unity-check.sh [scratch build folder, build-unity-check by default]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-unity-check}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTW_UNITY_BATCH=100000 >/dev/null
# What the batches include besides the sources: the precompiled headers and generated sources.
mapfile -t needed < <(ninja -C "$dir" -t targets all | sed -n 's/^\(tw_pch_[a-z_]*\|[^ ]*\.cpp\): .*/\1/p')
if [ ${#needed[@]} -gt 0 ]; then
    ninja -C "$dir" -j "${TW_JOBS:-$(nproc)}" "${needed[@]}" >/dev/null
fi
python3 - "$dir" "${TW_JOBS:-$(nproc)}" <<'PY'
import concurrent.futures, json, shlex, subprocess, sys
folder, jobs = sys.argv[1], int(sys.argv[2])
def check(entry):
    args = shlex.split(entry["command"])
    out = args.index("-o")
    del args[out:out + 2]
    args = [a for a in args if a not in ("-c", "-MD")]
    for flag in ("-MT", "-MF"):
        if flag in args:
            del args[args.index(flag):args.index(flag) + 2]
    done = subprocess.run(args + ["-fsyntax-only"], cwd=entry["directory"], capture_output=True, text=True)
    return entry["file"], [line for line in done.stderr.splitlines() if "error:" in line]
entries = [e for e in json.load(open(folder + "/compile_commands.json")) if "tw_pch_provider" not in e["file"]]
found = False
with concurrent.futures.ThreadPoolExecutor(jobs) as pool:
    for source, errors in pool.map(check, entries):
        if errors:
            found = True
            print("\n".join(errors))
print("Names meet: rename one, or list a file in its folder's tw_compile_alone." if found else "No names meet.")
sys.exit(1 if found else 0)
PY
