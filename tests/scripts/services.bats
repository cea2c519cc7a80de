#!/usr/bin/env bats
# The test desktop must come up even when its first attempt fails, and must say
# why once, also for a caller that runs with `set -e` (as scripts/test does). A
# Wayland desktop that fails goes away whole and takes nothing else with it.

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

@test "a Wayland desktop that does not come up is stopped and reported, and the X desktop stays" {
    # A waybar that ends at once: no tray host ever comes. A sway that tells its pid.
    # Their user must reach them.
    printf '#!/bin/sh\necho "no tray today" >&2\nexit 1\n' >"$fake/waybar"
    printf '#!/bin/sh\necho $$ >%s/sway.pid\nexec /usr/bin/sway "$@"\n' "$fake" >"$fake/sway"
    install -m 0666 /dev/null "$fake/sway.pid"
    chmod 0755 "$fake" "$fake/waybar" "$fake/sway"
    run env PATH="$fake:$PATH" FAKE="$fake" bash -c 'set -euo pipefail; source scripts/services; services_start
        # A zombie left to init is gone.
        sway=$(ps -o stat= -p "$(cat "$FAKE/sway.pid")" | grep -c "^[^Z]" || true)
        echo "desktop=${DAWNBELL_E2E:-0} wayland=${DAWNBELL_WAYLAND:-0} wl=${DAWNBELL_WL:-} sway=$sway"; services_stop'
    echo "$output"
    [ "$status" -eq 0 ]
    [ -s "$fake/sway.pid" ]
    grep -qx 'desktop=1 wayland=0 wl= sway=0' <<<"$output"
    [[ $output == *"waybar's tray did not come up: no tray today"* ]]
}
