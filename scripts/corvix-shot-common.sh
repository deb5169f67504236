# What the README's pictures of corvix share; sourced by corvix-*screenshot.sh inside
# x-session.sh, with WORK and BUILD set.

# A copy of the program in WORK with its own port definitions and settings beside it.
corvix_copy() {
    mkdir -p "$WORK"
    cp "$BUILD/analyzer/app/corvix" "$WORK/corvix"
    printf '%s\t%s\n' 21 'file transfer control' 22 'remote login' 23 'remote terminal' \
        80 'web server' 137 'name service' 443 'secure web server' 3389 'remote desktop' \
        >"$WORK/corvix.ports"
    printf '[Options]\nLookupSource=0\n' >"$WORK/corvix.cfg"
}

# Starts the copy on LOG under X and sets `window` to its main window.
corvix_start() {
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    "$WORK/corvix" "$1" >/dev/null 2>&1 &
    corvix=$!
    trap 'kill "$corvix" 2>/dev/null || true' EXIT
    window=$(timeout 15 xdotool search --sync --name "Corvix Log Analyzer" | head -n 1)
}

# Saves the X window WINDOW as OUT with at most COLOURS colours, so the picture stays
# small in the repository.
save_shot() {
    import -window "$1" -frame "$WORK/shot.png"
    convert "$WORK/shot.png" -strip -colors "$3" "PNG8:$2"
    echo "written: $2 ($(stat -c %s "$2") bytes)"
}
