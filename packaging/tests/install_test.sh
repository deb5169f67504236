#!/usr/bin/env bash
# Installs the build into a scratch prefix, looks at the icons and runs the installed
# programs from there: versions, corvix --list on a small log, and corvix in a directory
# its user cannot write, which keeps its files in $XDG_CONFIG_HOME and gets the shipped
# port definitions.
#   install_test.sh BUILD_DIR SYSCONFDIR BINDIR DATADIR MANDIR UNITDIR
set -euo pipefail
build=$1 sysconfdir=$2 bindir=$3 datadir=$4 mandir=$5 unitdir=$6

work=$(mktemp -d /tmp/velmora-install.XXXXXX)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
prefix=$work/prefix
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# A build configured for a system prefix puts its configuration under /etc: that part
# lands in a scratch root instead.
root=""
etc=$prefix/$sysconfdir
if [[ $sysconfdir == /* ]]; then
  root=$work/root
  etc=$root$sysconfdir
fi
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$work/install.txt" ||
  fail "cmake --install: $(cat "$work/install.txt")"
[[ -z $root ]] || prefix=$root$prefix

for file in "$bindir/velmora" "$bindir/corvix" \
  "$datadir/applications/velmora.desktop" "$datadir/applications/corvix.desktop" \
  "$mandir/man1/velmora.1.gz" "$mandir/man1/corvix.1.gz" \
  "$unitdir/velmora.socket" "$unitdir/velmora.service" "$datadir/corvix/corvix.ports"; do
  [[ -f $prefix/$file ]] || fail "$file is not installed"
done
for file in xdg/autostart/velmora.desktop velmora/velmora.ini; do
  [[ -f $etc/$file ]] || fail "$file is not installed under $etc"
done
[[ -x $prefix/$bindir/velmora && -x $prefix/$bindir/corvix ]] || fail "programs not executable"
grep -qx 'Exec=velmora -i' "$etc/xdg/autostart/velmora.desktop" || fail "autostart without -i"

# Each icon is a PNG of its own size holding a drawing: opaque strokes on a transparent
# ground in several colours, not a blank or flat square.
for size in 16 22 24 32 48 64 128 256; do
  for program in velmora corvix; do
    icon=$datadir/icons/hicolor/${size}x${size}/apps/$program.png
    [[ -f $prefix/$icon ]] || fail "$icon is not installed"
    read -r format width height colours opaque transparent < <(convert "$prefix/$icon" \
      -alpha on -format '%m %w %h %k %[fx:maxima.a==1] %[fx:minima.a==0]\n' info:) ||
      fail "$icon is no image"
    [[ $format == PNG && $width == "$size" && $height == "$size" ]] ||
      fail "$icon is a $format of $width x $height"
    ((colours >= 8 && opaque && transparent)) ||
      fail "$icon looks blank: $colours colours, opaque part $opaque, transparent part $transparent"
  done
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[[ $("$prefix/$bindir/velmora" --version) == "velmora $version" ]] || fail "velmora --version"
[[ $("$prefix/$bindir/corvix" --version) == "corvix $version" ]] || fail "corvix --version"

ports=$prefix/$datadir/corvix/corvix.ports
for port in 80 443; do
  grep -q "^$port"$'\t' "$ports" || fail "the shipped port definitions lack port $port"
done

# A small log as velmora writes it: banner, plain and formatted entries, an outgoing one,
# a control message, the closing lines.
cat >"$work/log" <<'LOG'
---------- Log File Opened 09/27/2002 19:48:38 ----------

09/27/2002 19:48:40 in 203.0.113.45 4512 198.51.100.7 80
09/27/2002 19:52:03 in 192.0.2.17[1042] ==> 198.51.100.7[21]
09/27/2002 19:52:04 out 198.51.100.7[1050] ==> 203.0.113.9[53]
09/27/2002 19:52:05 WAN address renewed: 198.51.100.7

4 Log Records Written.

---------- Log File Closed 09/27/2002 20:10:00 ----------
LOG
chmod 644 "$work/log"

# The installed program's directory is not the user's to write: as root, corvix runs as
# nobody, whom the permission bits bind.
chmod 555 "$prefix/$bindir"
as_user=()
if ((EUID == 0)); then
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
xdg=$work/xdg
mkdir -m 777 "$xdg"
corvix() {
  "${as_user[@]}" env HOME="$work/home" XDG_CONFIG_HOME="$xdg/config" \
    "$prefix/$bindir/corvix" "$@"
}

corvix --list "$work/log" >"$work/list.txt" 2>"$work/err.txt" || fail "corvix --list: $(cat "$work/err.txt")"
cat >"$work/expected.txt" <<'LIST'
09/27/2002 19:48:40 in 203.0.113.45[4512] ==> 198.51.100.7[80]
09/27/2002 19:52:03 in 192.0.2.17[1042] ==> 198.51.100.7[21]
LIST
diff -u "$work/expected.txt" "$work/list.txt" >&2 || fail "corvix --list printed other entries"
[[ ! -s $work/err.txt ]] || fail "corvix --list said: $(cat "$work/err.txt")"

# The user's copy of the port definitions came from the shipped file, and nothing was
# written beside the program.
cmp "$ports" "$xdg/config/corvix.ports" || fail "the user's port definitions are no copy"
[[ -z $(find "$prefix/$bindir" -name 'corvix.*') ]] || fail "files written beside the program"

# Settings come from the same place; the user's port definitions are never replaced.
printf '[SourceIPFilters]\n192.0.2.17=1\n' >"$xdg/config/corvix.cfg"
printf '80\tmy proxy\n' >"$xdg/config/corvix.ports"
corvix --list "$work/log" >"$work/list.txt" || fail "corvix --list with a filter"
head -n 1 "$work/expected.txt" | diff -u - "$work/list.txt" >&2 || fail "the filter was not read"
[[ $(cat "$xdg/config/corvix.ports") == $'80\tmy proxy' ]] || fail "port definitions replaced"

# The units name the installed program and pass systemd's own check.
grep -qx "ExecStart=.*/velmora --headless" "$prefix/$unitdir/velmora.service" ||
  fail "velmora.service does not start velmora --headless"
if command -v systemd-analyze >/dev/null; then
  mkdir "$work/units"
  cp "$prefix/$unitdir/velmora.socket" "$work/units/"
  sed "s|^ExecStart=[^ ]*|ExecStart=$prefix/$bindir/velmora|" "$prefix/$unitdir/velmora.service" \
    >"$work/units/velmora.service"
  systemd-analyze verify --man=no "$work/units/velmora.socket" "$work/units/velmora.service" ||
    fail "systemd-analyze verify"
fi
echo "installed into $prefix and ran from there"
