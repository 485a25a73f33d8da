#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a while, each from a copy of its seed corpus.
#   tests/fuzz/run.sh BUILD_DIR [SECONDS]      (default 30 seconds a target)
# A target that crashes, leaks or times out leaves its input as BUILD_DIR/fuzz-artifacts/*;
# keep such an input in tests/fuzz/corpus/<target>/ once the fault is mended.
set -uo pipefail
cd "$(dirname "$0")/../.."
build=$1
seconds=${2:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/fuzz-artifacts"
passed=0 failed=0
for corpus in tests/fuzz/corpus/*/; do
    target=$(basename "$corpus")
    mkdir -p "$work/$target"
    cp "$corpus"* "$work/$target/"
    if (cd "$work" && "$OLDPWD/$build/bin/$target" -max_total_time="$seconds" -timeout=20 \
            -rss_limit_mb=4096 -artifact_prefix="$OLDPWD/$build/fuzz-artifacts/$target-" \
            "$work/$target" > "$work/$target.log" 2>&1); then
        echo "$target: $(grep -E '^Done' "$work/$target.log" | tail -1)"
        passed=$((passed + 1))
    else
        echo "$target: FAILED"
        tail -40 "$work/$target.log"
        failed=$((failed + 1))
    fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
