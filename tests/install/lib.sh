# Shared by the install tests.
set -euo pipefail
BUILD=${VORLIX_BUILD_DIR:?run through ctest}
SOURCE=${VORLIX_SOURCE_DIR:?run through ctest}
LIBDIR=${VORLIX_INSTALL_LIBDIR:?run through ctest}
WORK=$(mktemp -d /tmp/vorlix-install.XXXXXX)

fail() { echo "FAIL: $*" >&2; exit 1; }

# Every file the install puts under its prefix.
installed_files() {
    printf '%s\n' bin/vorlix bin/vorlix-agent bin/vorlix-export bin/vorlix-hear \
        "$LIBDIR/libMokavel.so" "$LIBDIR/libMokavel.so.1" "$LIBDIR/libMokavel.so.1.0" \
        "$LIBDIR/pkgconfig/mokavel.pc" include/Mokavel.h \
        share/applications/vorlix.desktop share/metainfo/org.vorlix.Vorlix.metainfo.xml \
        share/icons/hicolor/scalable/apps/vorlix.svg share/icons/hicolor/48x48/apps/vorlix.png \
        share/man/man1/vorlix.1.gz share/man/man1/vorlix-agent.1.gz \
        share/man/man1/vorlix-export.1.gz share/man/man1/vorlix-hear.1.gz \
        share/vorlix/VoiceCommands.INI share/vorlix/VORLIXHelp.dat \
        share/vorlix/msagent/chars/hoot.acs share/vorlix/msagent/chars/merlin.acs \
        share/vorlix/msagent/chars/robby.acs | sort
}
