#!/usr/bin/env bash
# After an install or uninstall under PREFIX: an existing icon cache and the loader's cache
# learn of the change (menus watch their folders themselves).
prefix=${1:?usage: refresh-caches.sh PREFIX}
cache="$prefix/share/icons/hicolor/icon-theme.cache"
[[ -f "$cache" ]] && command -v gtk-update-icon-cache >/dev/null && gtk-update-icon-cache -q -f "${cache%/*}"
[[ $(id -u) -eq 0 ]] && command -v ldconfig >/dev/null && ldconfig
exit 0
