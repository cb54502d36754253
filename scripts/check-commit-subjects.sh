#!/usr/bin/env bash
# Fails when a commit subject (the first line of its message) in the given range is longer
# than 72 characters, naming each such commit. Meant for the commits of a branch before it is
# merged, not for the history before it:
#   scripts/check-commit-subjects.sh main..HEAD
#   scripts/check-commit-subjects.sh origin/main..my-branch
# Characters are counted as the reader sees them (UTF-8), not as bytes.
set -euo pipefail
limit=72
if [[ $# -ne 1 || "$1" != *..* ]]; then
    echo "usage: $0 BASE..TIP   (the commits after BASE up to TIP)" >&2
    exit 2
fi
range="$1"
if ! commits="$(git rev-list "$range" 2>/dev/null)"; then
    echo "$0: '$range' is not a range of this repository" >&2
    exit 2
fi
long=0
checked=0
while IFS= read -r commit; do
    [[ -z "$commit" ]] && continue
    subject="$(git log -1 --format=%s "$commit")"
    checked=$((checked + 1))
    length="$(printf '%s' "$subject" | LC_ALL=C.UTF-8 wc -m)"
    if ((length > limit)); then
        printf '%s: subject of %d characters (at most %d): %s\n' \
            "$(git rev-parse --short "$commit")" "$length" "$limit" "$subject" >&2
        long=$((long + 1))
    fi
done <<<"$commits"
if ((long > 0)); then
    echo "$long of $checked commit subjects are longer than $limit characters" >&2
    exit 1
fi
echo "$checked commit subjects of at most $limit characters"
