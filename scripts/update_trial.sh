#!/usr/bin/env bash
# The self-update tried end to end as a user would (not run by the tests).
# It builds the program twice from the same source, the second time under
# the next version number (TESSARA_VERSION_OVERRIDE: only
# src/core/app/versions.cpp recompiles), serves that version from a local
# tessara-server and lets a portable copy of the first build find, show,
# install it and restart in the real window under Xvfb; then it offers a
# forged package, which must be refused with the installation left byte for
# byte as it was. The same two cases again with tessara-cli.
#
#   scripts/update_trial.sh
#
# TESSARA_BUILD_DIR   build folder to use (default build/dev, configured like
#                     the dev preset when it is not configured yet); it is
#                     left building the project's own version again
# TESSARA_TRIAL_DIR   where the trial lives (default /tmp/tessara-update-trial,
#                     made anew)
# TESSARA_TRIAL_SHOTS folder of the screenshots upd-*.png (default /tmp)
# TESSARA_TRIAL_PORT  port of the local server (default 18642)
#
# Exit code 0 when every check held; the first failed check ends the trial
# with its reason.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TESSARA_BUILD_DIR:-$root/build/dev}"
trial="${TESSARA_TRIAL_DIR:-/tmp/tessara-update-trial}"
shots="${TESSARA_TRIAL_SHOTS:-/tmp}"
port="${TESSARA_TRIAL_PORT:-18642}"
server_url="http://127.0.0.1:$port"
description_url="$server_url/files/autoupdates/Kovra_AU.cfg"

say() { printf '\n== %s\n' "$*"; }
fail() {
  printf 'TRIAL FAILED: %s\n' "$*" >&2
  exit 1
}

# --- Inside Xvfb: the desktop program driven like a user would ------------
if [ "${1:-}" = "--gui" ]; then
  trial="$2" old="$3" new="$4" forged_ver="$5"
  portable="$trial/portable"
  pids=()
  trap 'for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done' EXIT
  # A window manager, so that the screenshots show the caption.
  openbox > /dev/null 2>&1 &
  pids+=($!)
  sleep 1

  shot() {
    sleep 0.5
    import -window root "$shots/upd-$1.png"
    echo "screenshot $shots/upd-$1.png"
  }
  # The first window whose caption contains the text, within the seconds.
  find_window() {
    local text="$1" seconds="$2" w
    for ((i = 0; i < seconds * 5; i++)); do
      w="$(xdotool search --onlyvisible --name "$text" 2> /dev/null | head -n 1 || true)"
      if [ -n "$w" ]; then
        echo "$w"
        return 0
      fi
      sleep 0.2
    done
    return 1
  }
  # Waits until the process has used at most 5 % of a processor for two
  # seconds (the start-up generates the full list of combinations first; an
  # idle window still re-evaluates its commands now and then).
  wait_idle() {
    local pid="$1" last="" now
    for ((i = 0; i < 120; i++)); do
      now="$(awk '{print $14 + $15}' "/proc/$pid/stat" 2> /dev/null || echo gone)"
      [ "$now" = gone ] && return 1
      if [ -n "$last" ] && ((now - last <= 10)); then return 0; fi
      last="$now"
      sleep 2
    done
    return 1
  }
  # "Справка → Поиск обновлений": the menu bar's first menu opened with the
  # mouse, Left wraps round to the last one ("Справка", its first item
  # "Справка" lit), and the command is three items further down (О
  # программе | Автоматическое обновление, Поиск обновлений).
  check_update() { # window, number of the first screenshot
    local w="$1" n="$2"
    xdotool windowactivate --sync "$w"
    xdotool mousemove --window "$w" 25 12 click 1
    sleep 0.5
    xdotool key Left
    sleep 0.5
    shot "$n-menu"
    xdotool key Down Down Down
    sleep 0.3
    shot "$n-menu-item"
    xdotool key Return
  }
  checksums() { (cd "$portable" && find . -type d | sort && find . -type f -print0 | sort -z | xargs -0 sha256sum); }

  cd "$portable"
  ./tessara &
  pids+=($!)
  main_pid=$!
  w="$(find_window "версия $old" 60)" || fail "no window with \"версия $old\" in its caption"
  wait_idle "$main_pid" || fail "the program did not settle after its start"
  shot 1-started-$old
  echo "caption: $(xdotool getwindowname "$w")"

  # The genuine update: found, its notes shown, installed, restarted.
  check_update "$w" 2
  d="$(find_window "Найдена новая версия программы" 30)" || fail "no update dialog"
  shot 3-offer
  xdotool windowactivate --sync "$d" key Return
  m="$(find_window "^Информация$" 120)" || {
    shot 3-no-success
    fail "no success message after the installation"
  }
  shot 4-installed
  xdotool windowactivate --sync "$m" key Return
  # The old process ends, the new one waits for it and starts.
  for ((i = 0; i < 100; i++)); do
    kill -0 "$main_pid" 2> /dev/null || break
    sleep 0.2
  done
  kill -0 "$main_pid" 2> /dev/null && fail "the old program did not end after the installation"
  w="$(find_window "версия $new" 60)" || {
    shot 5-no-restart
    fail "no restarted window with \"версия $new\" in its caption"
  }
  new_pid="$(xdotool getwindowpid "$w")"
  pids+=("$new_pid")
  echo "restarted: $(tr '\0' ' ' < "/proc/$new_pid/cmdline" 2> /dev/null) (pid $new_pid)"
  wait_idle "$new_pid" || {
    shot 5-not-settled
    fail "the restarted program (pid $new_pid) did not settle"
  }
  shot 5-restarted-$new
  echo "caption after the restart: $(xdotool getwindowname "$w")"
  [ "$(readlink "/proc/$new_pid/exe")" = "$portable/tessara" ] ||
    fail "the restarted process runs $(readlink "/proc/$new_pid/exe")"

  # The forged package: offered, refused, nothing changed.
  cp "$trial/forged.cfg" "$trial/server/files/autoupdates/Kovra_AU.cfg"
  checksums > "$trial/before-gui.sha256"
  check_update "$w" 6
  d="$(find_window "Найдена новая версия программы" 30)" || fail "no update dialog for $forged_ver"
  shot 7-forged-offer
  xdotool windowactivate --sync "$d" key Return
  m="$(find_window "^Ошибка$" 60)" || {
    shot 8-no-error
    fail "no error message for the forged package"
  }
  shot 8-forged-refused
  xdotool windowactivate --sync "$m" key Return
  sleep 1
  checksums > "$trial/after-gui.sha256"
  [ "$(xdotool getwindowname "$w")" != "" ] || fail "the window is gone after the refusal"
  # The window closes as a user closes it.
  xdotool windowactivate --sync "$w" key alt+F4
  for ((i = 0; i < 100; i++)); do
    kill -0 "$new_pid" 2> /dev/null || break
    sleep 0.2
  done
  kill -0 "$new_pid" 2> /dev/null && fail "the restarted program did not close"
  exit 0
fi

# --- Outside: builds, server, folders, checks -------------------------------
# Xvfb, xdotool, ImageMagick and a window manager (openbox, which draws the
# caption in the screenshots) come from there.
bash "$root/scripts/bootstrap.sh"

old="$(sed -n 's/^project(tessara VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[ -n "$old" ] || fail "no version in CMakeLists.txt"
new="${old%.*}.$((${old##*.} + 1))"
forged_ver="${old%.*}.$((${old##*.} + 2))"

rm -rf "$trial"
mkdir -p "$trial"/{old,new,portable,portable-cli,server/files/autoupdates/UpdDescr} "$shots"
programs=(tessara tessara-cli tessara-server)

say "Build $old in $build"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSARA_WERROR=ON > /dev/null
fi
cmake -S "$root" -B "$build" -DTESSARA_VERSION_OVERRIDE= > /dev/null
cmake --build "$build" --target "${programs[@]}"
cp "$build/src/gui/tessara" "$build/src/cli/tessara-cli" "$trial/old/"
server_bin="$trial/old/tessara-server"
cp "$build/src/server/tessara-server" "$server_bin"

say "Build $new from the same source (TESSARA_VERSION_OVERRIDE=$new)"
restore_build() {
  cmake -S "$root" -B "$build" -DTESSARA_VERSION_OVERRIDE= > /dev/null 2>&1 || true
}
trap restore_build EXIT
cmake -S "$root" -B "$build" -DTESSARA_VERSION_OVERRIDE="$new" > /dev/null
cmake --build "$build" --target tessara tessara-cli | tee "$trial/build-new.log"
compiled="$(grep -c 'Building CXX object' "$trial/build-new.log" || true)"
grep -q 'Building CXX object src/core/CMakeFiles/tessara_core.dir/app/versions.cpp.o' \
  "$trial/build-new.log" && [ "$compiled" = 1 ] ||
  fail "the build under $new compiled $compiled files, not only versions.cpp"
cp "$build/src/gui/tessara" "$build/src/cli/tessara-cli" "$trial/new/"
restore_build
cmake --build "$build" --target tessara tessara-cli > /dev/null
trap - EXIT
cmp -s "$trial/old/tessara" "$trial/new/tessara" && fail "the two builds are the same file"

say "The server's files: the description, the notes, the package"
updates="$trial/server/files/autoupdates"
# The package: a shell script carrying the new program after its last line,
# which it writes into the folder it runs in (the work folder SelfUpdate).
package="$updates/tessara_$new.upd"
cat > "$package" << 'EOF'
#!/bin/sh
# Tessara update: writes the program carried below into the current folder.
set -e
tail -n +6 "$0" > tessara && chmod 755 tessara
exit 0
EOF
cat "$trial/new/tessara" >> "$package"
crc32() { python3 -c 'import sys, zlib; print("%08X" % zlib.crc32(open(sys.argv[1], "rb").read()))' "$1"; }
sha256() { sha256sum "$1" | cut -d' ' -f1; }
# Descriptions and notes are Windows-1251 text with CR LF, like every text
# file of the program.
cp1251() { sed 's/$/\r/' | iconv -f UTF-8 -t CP1251; }
describe() { # version package-url crc sha256
  cat << EOF | cp1251
[GlobalOptions]

[tessara]
VerId=$1
Description=Тессара $1
DownloadUrl=$2
OriginalFileName=setup_$1.sh
ChecksumCRC32=$3
ChecksumSHA256=$4
EOF
}
describe "$new" "$server_url/files/autoupdates/tessara_$new.upd" "$(crc32 "$package")" \
  "$(sha256 "$package")" > "$trial/genuine.cfg"
cp "$trial/genuine.cfg" "$updates/Kovra_AU.cfg"
cat << EOF | cp1251 > "$updates/UpdDescr/UpdDescr_RUS_$new.txt"
Версия $new

- Пробная сборка для проверки самообновления.
- Заголовок окна показывает новый номер версии.
EOF
# The forged package: another script under the checksums of the genuine one
# (as if someone had replaced the file on the server).
forged="$updates/tessara_$forged_ver.upd"
printf '#!/bin/sh\necho forged > tessara\necho forged > Tessara_6x42.ldr\n' > "$forged"
describe "$forged_ver" "$server_url/files/autoupdates/tessara_$forged_ver.upd" \
  "$(crc32 "$package")" "$(sha256 "$package")" > "$trial/forged.cfg"
[ "$(crc32 "$forged")" != "$(crc32 "$package")" ] || fail "the forged package has the genuine CRC"

say "The local server on $server_url"
"$server_bin" --root "$trial/server" --port "$port" > "$trial/server.log" 2>&1 &
server_pid=$!
trap 'kill "$server_pid" 2> /dev/null || true' EXIT
for ((i = 0; i < 50; i++)); do
  curl -sf -o /dev/null "$description_url" && break
  sleep 0.2
done
curl -sf -o /dev/null "$description_url" || fail "the server does not answer on $server_url"

# A portable copy: the program in a folder of its own with its data beside it
# (the help is compiled into the program).
portable_copy() { # folder
  cp "$trial/old/tessara" "$1/"
  cp "$root/data/sample/Tessara_6x42.ldr" "$1/"
  "$trial/old/tessara-cli" --data-dir "$1" config set ONLINE ServerUrl "$server_url" > /dev/null
  "$trial/old/tessara-cli" --data-dir "$1" config set ONLINE UpdateUrl "$description_url" > /dev/null
  # No question about downloading draws at start, and the update is looked
  # for by the command, not at start.
  printf '[TFormMain]\r\nDownloadDrawsOnStart=2\r\nAutoUpdates=0\r\n' > "$1/tessara.frm"
}
portable_copy "$trial/portable"
portable_copy "$trial/portable-cli"

say "The desktop program (screenshots in $shots/upd-*.png)"
rm -f "$shots"/upd-*.png
xvfb-run -a -s '-screen 0 1600x1000x24' "$0" --gui "$trial" "$old" "$new" "$forged_ver"
cmp -s "$trial/portable/tessara" "$trial/new/tessara" || fail "the installed program is not the new build"
diff "$trial/before-gui.sha256" "$trial/after-gui.sha256" ||
  fail "the forged package changed the installation"
leftovers="$(cd "$trial/portable" && ls -d SelfUpdate SelfUpdates.inf UpdDescr_* tessara.~* 2> /dev/null || true)"
[ -z "$leftovers" ] || fail "left behind in the installation: $leftovers"
echo "installed: $new, forged package refused, nothing left behind"

say "tessara-cli update check / install"
cli="$trial/old/tessara-cli"
cp "$trial/genuine.cfg" "$updates/Kovra_AU.cfg"
pc="$trial/portable-cli"
"$cli" --data-dir "$pc" update check --install-dir "$pc" | tee "$trial/cli-check.txt"
grep -q "Новая версия программы:	$new" "$trial/cli-check.txt" || fail "update check does not offer $new"
grep -q "Пробная сборка" "$trial/cli-check.txt" || fail "update check shows no notes"
"$cli" --data-dir "$pc" --yes update install --install-dir "$pc"
cmp -s "$pc/tessara" "$trial/new/tessara" || fail "update install did not install the new build"

cp "$trial/forged.cfg" "$updates/Kovra_AU.cfg"
checksums() { (cd "$1" && find . -type d | sort && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
checksums "$pc" > "$trial/before-cli.sha256"
set +e
"$cli" --data-dir "$pc" --yes update install --install-dir "$pc" 2> "$trial/cli-forged.txt"
code=$?
set -e
cat "$trial/cli-forged.txt"
checksums "$pc" > "$trial/after-cli.sha256"
[ "$code" = 1 ] || fail "update install of the forged package gave exit code $code"
grep -q "Ошибка установки обновления!" "$trial/cli-forged.txt" &&
  grep -q "Неверная контрольная сумма скачанного файла." "$trial/cli-forged.txt" ||
  fail "the forged package was not refused with the checksum message"
diff "$trial/before-cli.sha256" "$trial/after-cli.sha256" ||
  fail "the forged package changed the installation"
leftovers="$(cd "$pc" && ls -d SelfUpdate SelfUpdates.inf UpdDescr_* tessara.~* 2> /dev/null || true)"
[ -z "$leftovers" ] || fail "left behind in the installation: $leftovers"

say "Every check held"
