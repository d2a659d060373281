#!/usr/bin/env bash
# Builds the Debian package (a few seconds) and checks what it holds and what it needs.
source "$(dirname "$0")/lib.sh"
trap 'rm -rf "$WORK"' EXIT

cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK" >"$WORK/cpack.log" 2>&1 || fail "cpack: $(tail -5 "$WORK/cpack.log")"
deb=$(ls "$WORK"/vorlix_*.deb) || fail "no package"

# Exactly the installed files, under /usr.
diff <(installed_files | sed 's|^|usr/|') <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./||' | sort) \
    || fail "the package's files differ from the expected list"

[[ "$(dpkg-deb -f "$deb" Package)" == vorlix ]] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
# The data packages no binary names, and libraries found in the binaries.
for need in espeak-ng-data pocketsphinx-en-us qt6-qpa-plugins libespeak-ng1 libpocketsphinx3 libqt6widgets6 \
            libqt6multimedia6 libqt6svg6 libsqlite3-0 libxtst6 libc6; do
    grep -qE "(^|, )$need( |,|$)" <<<"$depends" || fail "Depends lacks $need: $depends"
done
grep -q "vorlix" <<<"$depends" && fail "the package depends on itself: $depends"

# Programs that link libMokavel learn which package provides it; the loader cache is renewed.
dpkg-deb -e "$deb" "$WORK/control"
grep -qx "libMokavel 1 vorlix (>= 1.0)" "$WORK/control/shlibs" || fail "shlibs: $(cat "$WORK/control/shlibs")"
grep -q ldconfig "$WORK/control/postinst" || fail "postinst does not run ldconfig"

# Stripped binaries that find the library under /usr, with nothing of the build tree inside.
dpkg-deb -x "$deb" "$WORK/root"
for program in "$WORK"/root/usr/bin/*; do
    file "$program" | grep -q ", stripped" || fail "$program is not stripped"
    readelf -d "$program" | grep -q "$BUILD" && fail "$program refers to the build folder"
done
echo "package: passed"
