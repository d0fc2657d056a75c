#!/usr/bin/env bash
# Fails when a tracked C++ source differs from what the project's .clang-format makes of it.
set -u
cd "$(dirname "$0")/.."
files=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find . -name '*.cpp' -o -name '*.h')
bad=$(for f in $files; do
    [ -f "$f" ] || continue
    clang-format --style=file "$f" | cmp -s - "$f" || echo "$f"
done)
if [ -n "$bad" ]; then
    echo "Not formatted with the project's .clang-format (run: clang-format -i <file>):"
    echo "$bad"
    exit 1
fi
echo "Format: every source follows .clang-format."
