#!/usr/bin/env bash
# Installs the build into a temporary root and checks what an installed Quillora needs: the
# files in their places, a desktop entry and metainfo the desktop tools accept, and a game
# that, started from a program folder its player cannot write, keeps that player's statistics
# in their own data folder and writes nothing beside the program.
#   check_install.sh BUILD-DIR
set -euo pipefail
[ "$(id -u)" -eq 0 ] || { echo "needs root, to play as another user"; exit 77; }
build=$(realpath "$1")
root=$(mktemp -d)
chmod 755 "$root"
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
usr="$root/usr"
for f in bin/quillora bin/quillora-pack bin/quillora-server \
         lib/quillora/quillora lib/quillora/quillora.chn lib/quillora/correctword.wav \
         lib/quillora/finishchain.wav lib/quillora/timeup.wav \
         share/applications/org.quillora.Quillora.desktop \
         share/metainfo/org.quillora.Quillora.metainfo.xml \
         share/icons/hicolor/scalable/apps/quillora.svg \
         share/icons/hicolor/48x48/apps/quillora.png share/icons/hicolor/256x256/apps/quillora.png \
         share/man/man6/quillora.6 share/man/man1/quillora-pack.1 \
         share/man/man8/quillora-server.8 share/quillora/package/chayn.ver \
         share/quillora/package/chayn.tx0 lib/systemd/system/quillora-server.service; do
    [ -e "$usr/$f" ] || fail "not installed: /usr/$f"
done
[ "$(readlink -f "$usr/bin/quillora")" = "$usr/lib/quillora/quillora" ] ||
    fail "/usr/bin/quillora does not lead to the program folder"
grep -q "^ExecStart=/usr/bin/quillora-server .*--package /var/lib/quillora/package" \
    "$usr/lib/systemd/system/quillora-server.service" || fail "service runs the wrong command"
for setting in DynamicUser=yes NoNewPrivileges=yes ProtectSystem=strict PrivateTmp=yes; do
    grep -qx "$setting" "$usr/lib/systemd/system/quillora-server.service" ||
        fail "service lacks $setting"
done
desktop-file-validate "$usr/share/applications/org.quillora.Quillora.desktop"
appstreamcli validate --no-net --explain "$usr/share/metainfo/org.quillora.Quillora.metainfo.xml"
for tool in quillora-pack quillora-server; do
    ! ldd "$usr/bin/$tool" | grep -q libQt6Widgets || fail "$tool links Qt Widgets"
done

# Play: start a standard game from the menu, then leave it through the game menu. Run as an
# unprivileged player, for whom the installed program folder is read-only.
player=nobody
home="$root/home"
mkdir -p "$home" && chown "$player" "$home"
before=$(cd "$usr/lib/quillora" && ls -la --time-style=full-iso)
# A display number of its own, which Xvfb picks and tells, so that other X servers on the
# machine do not matter.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -ac 3>"$root/display" >/dev/null 2>&1 &
for _ in $(seq 100); do [ -s "$root/display" ] && break; sleep 0.1; done
display=:$(head -n 1 "$root/display")
export DISPLAY=$display
runuser -u "$player" -- env HOME="$home" XDG_DATA_HOME= XDG_RUNTIME_DIR= QT_QPA_PLATFORM=xcb DISPLAY="$display" \
    "$usr/bin/quillora" >"$root/game.log" 2>&1 &
game=$!
menu=$(timeout 20 xdotool search --sync --onlyvisible --name "^Quillora - Main Menu$") ||
    { cat "$root/game.log"; fail "the menu did not open"; }
# No window manager: the keys go to the window given the input focus.
xdotool windowfocus --sync "$menu"
xdotool key Return
stats="$home/.local/share/quillora/chaininfo.txt"
for _ in $(seq 100); do [ -s "$stats" ] && break; sleep 0.1; done
[ -s "$stats" ] || { cat "$root/game.log"; fail "no statistics in $stats"; }
[ "$(head -n 1 "$stats")" = $'1\r' ] || fail "the played game is not counted in $stats"
xdotool key alt+m sleep 0.3 key m sleep 0.5 key Escape
for _ in $(seq 50); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
kill -0 $game 2>/dev/null && fail "the game did not end on Escape"
[ "$(cd "$usr/lib/quillora" && ls -la --time-style=full-iso)" = "$before" ] ||
    fail "the game wrote beside the installed program"
echo "install checks passed"
