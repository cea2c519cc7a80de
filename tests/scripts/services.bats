#!/usr/bin/env bats
# The test desktop must come up even when its first attempt fails, and must say
# why once, also for a caller that runs with `set -e` (as scripts/test does).

setup() { fake=$(mktemp -d); }
teardown() { rm -rf "$fake"; }

@test "a failed first start of the desktop is retried under set -e and reported once" {
    # An openbox that fails once, as it did when the X server reset under it.
    printf '#!/bin/sh\n[ -e %s/failed ] || { touch %s/failed; echo "cannot open display" >&2; exit 1; }\nexec /usr/bin/openbox "$@"\n' \
        "$fake" "$fake" >"$fake/openbox"
    chmod +x "$fake/openbox"
    run env PATH="$fake:$PATH" bash -c 'set -euo pipefail; source scripts/services
        services_start; echo "desktop=${DAWNBELL_E2E:-0}"; services_stop'
    echo "$output"
    [ "$status" -eq 0 ]
    [[ $output == *desktop=1* ]]
    [ "$(grep -c 'openbox did not start' <<<"$output")" -eq 1 ]
}
