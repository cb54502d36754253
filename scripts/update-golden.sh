#!/usr/bin/env bash
# Regenerates the pinned outputs of kambrix-cli (tests/cli/golden/<name>.out.json) from the
# inputs in tests/cli/data/, when a change of the results is intended. The prefix of an
# input's name says the command: design_, evaluate_, compare_ and agronomic_ files are that
# command's input; a chart_ file (the system's name on its first line, the chart's on the
# second) names a stored chart of the demo database folder, made afresh from the template,
# which "kambrix-cli chart" reads back.
#   scripts/update-golden.sh [build-folder]     (default: build)
# Review the difference (git diff tests/cli/golden) before committing it.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
cli="$build/cli/kambrix-cli"
demo_db="$build/app/demo/kambrix-demo-db"
for tool in "$cli" "$demo_db"; do
    if [[ ! -x "$tool" ]]; then
        echo "no $tool: build first (cmake --build $build --target kambrix-cli kambrix-demo-db db-template)" >&2
        exit 1
    fi
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$demo_db" "$build/db-template" "$work/demo-db" > /dev/null

mkdir -p tests/cli/golden
for input in tests/cli/data/*; do
    name="$(basename "$input")"
    output="tests/cli/golden/${name%.*}.out.json"
    case "$name" in
        design_*) "$cli" design "$input" > "$output" ;;
        evaluate_*) "$cli" evaluate "$input" > "$output" ;;
        compare_*) "$cli" compare "$input" > "$output" ;;
        agronomic_*) "$cli" agronomic "$input" > "$output" ;;
        chart_*)
            { IFS= read -r system && IFS= read -r chart; } < "$input"
            "$cli" chart "$work/demo-db" "$system" "$chart" > "$output"
            ;;
        *) echo "skipped $name: the name must start with design_, evaluate_, compare_, agronomic_ or chart_" >&2; continue ;;
    esac
    echo "$output"
done
