#!/usr/bin/env bash
# Fails, naming the files, when a C++ source differs from what the repository's .clang-format makes
# of it. Fix with: clang-format -i <files>.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format > /dev/null || { echo "check-format: clang-format is not installed" >&2; exit 1; }
bad=()
while IFS= read -r -d '' f; do
    clang-format --dry-run --Werror "$f" > /dev/null 2>&1 || bad+=("$f")
done < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#bad[@]} -gt 0 ]; then
    echo "check-format: these files do not match .clang-format (clang-format -i to fix):" >&2
    printf '  %s\n' "${bad[@]}" >&2
    exit 1
fi
echo "check-format: $(git ls-files -- '*.cpp' '*.h' | wc -l) files match .clang-format"
