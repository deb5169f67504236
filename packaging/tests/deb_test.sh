#!/usr/bin/env bash
# Unpacks the Debian package `make package` built into a scratch root and finds every
# file in its place, the declared dependencies, maintainer scripts that parse, and programs
# that run. Exits 77 (skipped) when no package was built.
#   deb_test.sh PACKAGE_DIR
set -euo pipefail
package_dir=$1

shopt -s nullglob
debs=("$package_dir"/velmora_*.deb)
if ((${#debs[@]} == 0)); then
  echo "no package in $package_dir: make package builds one" >&2
  exit 77
fi
deb=$(ls -t "${debs[@]}" | head -n 1)

work=$(mktemp -d /tmp/velmora-deb.XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL ($deb): $*" >&2
  exit 1
}

dpkg -x "$deb" "$work/root"
(cd "$work/root" && find . -type f | sed 's|^\.||' | sort) >"$work/files.txt"
sort >"$work/expected.txt" <<'FILES'
/etc/velmora/velmora.ini
/etc/xdg/autostart/velmora.desktop
/usr/bin/corvix
/usr/bin/velmora
/usr/lib/systemd/system/velmora.service
/usr/lib/systemd/system/velmora.socket
/usr/share/applications/corvix.desktop
/usr/share/applications/velmora.desktop
/usr/share/corvix/corvix.ports
/usr/share/icons/hicolor/16x16/apps/corvix.png
/usr/share/icons/hicolor/16x16/apps/velmora.png
/usr/share/icons/hicolor/22x22/apps/corvix.png
/usr/share/icons/hicolor/22x22/apps/velmora.png
/usr/share/icons/hicolor/24x24/apps/corvix.png
/usr/share/icons/hicolor/24x24/apps/velmora.png
/usr/share/icons/hicolor/32x32/apps/corvix.png
/usr/share/icons/hicolor/32x32/apps/velmora.png
/usr/share/icons/hicolor/48x48/apps/corvix.png
/usr/share/icons/hicolor/48x48/apps/velmora.png
/usr/share/icons/hicolor/64x64/apps/corvix.png
/usr/share/icons/hicolor/64x64/apps/velmora.png
/usr/share/icons/hicolor/128x128/apps/corvix.png
/usr/share/icons/hicolor/128x128/apps/velmora.png
/usr/share/icons/hicolor/256x256/apps/corvix.png
/usr/share/icons/hicolor/256x256/apps/velmora.png
/usr/share/man/man1/corvix.1.gz
/usr/share/man/man1/velmora.1.gz
FILES
diff -u "$work/expected.txt" "$work/files.txt" >&2 || fail "the package holds other files"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libc6 libstdc++6; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./conffiles >"$work/conffiles" ||
  fail "no conffiles"
for conffile in /etc/velmora/velmora.ini /etc/xdg/autostart/velmora.desktop; do
  grep -qx "$conffile" "$work/conffiles" || fail "$conffile is not a conffile"
done

for script in postinst postrm; do
  dpkg-deb --ctrl-tarfile "$deb" | tar -xO "./$script" >"$work/$script" || fail "no $script"
  sh -n "$work/$script" || fail "$script does not parse"
done

grep -qx 'ExecStart=/usr/bin/velmora --headless' "$work/root/usr/lib/systemd/system/velmora.service" ||
  fail "velmora.service does not start /usr/bin/velmora"
grep -qx 'Environment=XDG_CONFIG_HOME=/etc/velmora XDG_RUNTIME_DIR=%t/velmora' \
  "$work/root/usr/lib/systemd/system/velmora.service" || fail "velmora.service misses its profile"
zcat "$work/root/usr/share/man/man1/velmora.1.gz" | grep -q '^\.TH VELMORA 1' || fail "velmora(1)"

version=$(dpkg-deb -f "$deb" Version)
[[ $("$work/root/usr/bin/velmora" --version) == "velmora $version" ]] || fail "velmora --version"
[[ $("$work/root/usr/bin/corvix" --version) == "corvix $version" ]] || fail "corvix --version"
echo "$deb: every file in place"
