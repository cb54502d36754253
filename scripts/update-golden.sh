#!/usr/bin/env bash
# Regenerates the pinned outputs of kambrix-cli (tests/cli/golden/<name>.out.json) from the
# inputs in tests/cli/data/, when a change of the results is intended. Files named
# design_* are run through "kambrix-cli design", evaluate_* through "kambrix-cli evaluate".
#   scripts/update-golden.sh [build-folder]     (default: build)
# Review the difference (git diff tests/cli/golden) before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cli="$build/cli/kambrix-cli"
if [[ ! -x "$cli" ]]; then
    echo "no $cli: build first (cmake --build $build --target kambrix-cli)" >&2
    exit 1
fi
mkdir -p tests/cli/golden
for input in tests/cli/data/*; do
    name="$(basename "$input")"
    case "$name" in
        design_*) command=design ;;
        evaluate_*) command=evaluate ;;
        *) echo "skipped $name: the name must start with design_ or evaluate_" >&2; continue ;;
    esac
    "$cli" "$command" "$input" > "tests/cli/golden/${name%.*}.out.json"
    echo "tests/cli/golden/${name%.*}.out.json"
done
