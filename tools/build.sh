#!/usr/bin/env bash
# Configures and builds one build tree: tools/build.sh [build-dir] [extra cmake args...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
# ccache, when there, keeps rebuilds of unchanged sources cheap across checkouts.
launcher=()
if command -v ccache >/dev/null 2>&1; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(cd .. && pwd)} CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}
    # Files compiled with a precompiled header are cached only with these relaxations.
    export CCACHE_SLOPPINESS=${CCACHE_SLOPPINESS:-pch_defines,time_macros}
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
fi
# TW_JOBS limits the parallel compiles where several builds share one machine; TW_TARGETS
# (names separated by spaces) builds only those targets.
targets=()
for target in ${TW_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$dir" -j "${TW_JOBS:-$(nproc)}" "${targets[@]}"
