# Shared steps and checks of the end-to-end scenarios (sourced).

TITLE="Harbour Island Scenery"
DEST='F:\FS2000\Addon Scenery\Harbour Island'
DEST_UNIX="$work/drive_f/FS2000/Addon Scenery/Harbour Island"

fail() {
  printf '%s\n' "CHECK FAILED: $*"
  exit 1
}

# The Setup.exe that a scenario starts, relative to its work folder.
PROGRAM='package\Setup.exe'

# Driver lines that bring a fresh Setup.exe to each page.
to_licence() {
  printf 'start %s\n' "$PROGRAM"
  printf '%s\n' 'wait-page "License Agreement" 104 "I accept the terms of this agreement"'
}
to_destination() {
  to_licence
  printf '%s\n' 'click 101'
  printf '%s\n' 'expect-enabled 102 1'
  printf '%s\n' 'click 102'
  printf '%s\n' "wait-page \"$TITLE\" 105 \"Enter or select a destination directory.\""
}
to_simulator() {
  to_destination
  printf '%s\n' 'click 101'
  printf '%s\n' 'box "does not exist. Do you want to create it ?" yes'
  printf '%s\n' "wait-page \"$TITLE\" 105 \"Enter or select the FS2000 directory.\""
}
to_copy() {
  to_simulator
  printf '%s\n' 'click 101'
  printf '%s\n' "wait-page \"$TITLE\" 100 \"The Setup programme is ready to copy files!\""
}
# From the destination page, with the destination folder already there: the
# simulator folder as proposed, Start, OK.
install_from_destination() {
  cat <<STEPS
click 101
wait-page "$TITLE" 105 "Enter or select the FS2000 directory."
click 101
wait-page "$TITLE" 100 "The Setup programme is ready to copy files!"
click 101
wait-page "$TITLE" 100 "Congratulations! This scenery was successfully installed!"
click 101
exit 0
STEPS
}
install_all() {
  to_copy
  printf '%s\n' 'click 101'
  printf '%s\n' "wait-page \"$TITLE\" 100 \"Congratulations! This scenery was successfully installed!\""
  printf '%s\n' 'click 101'
  printf '%s\n' 'exit 0'
}

# The section that an installation appends, CR LF line ends.
section() {  # NUMBER LAYER LOCAL [EXTRA LINES...]
  label="$1"; layer="$2"; local_dir="$3"; shift 3
  printf '[Area.%s]\r\nTitle=Harbour Island\r\nLocal=%s\r\nActive=TRUE\r\nLayer=%s\r\n' \
    "$label" "$local_dir" "$layer"
  for line in "$@"; do printf '%s\r\n' "$line"; done
  printf '\r\n'
}

assert_cfg_unchanged() {
  cmp -s "$work/scenery-before.cfg" "$sim/scenery.cfg" || fail "scenery.cfg was changed"
}
assert_no_backup() {
  [ ! -e "$sim/scenery.bak" ] || fail "a backup was written"
}
assert_backup_is_old_cfg() {
  cmp -s "$work/scenery-before.cfg" "$sim/scenery.bak" || fail "the backup differs from the old scenery.cfg"
}
# scenery.cfg must be its old bytes followed by exactly the expected bytes.
assert_cfg_appended() {  # FILE-WITH-EXPECTED-ADDITION
  cat "$work/scenery-before.cfg" "$1" > "$work/scenery-expected.cfg"
  cmp "$work/scenery-expected.cfg" "$sim/scenery.cfg" || {
    echo "--- expected ---"; cat -A "$work/scenery-expected.cfg" | tail -12
    echo "--- found ---"; cat -A "$sim/scenery.cfg" | tail -12
    fail "scenery.cfg is not the old file plus the expected section"
  }
}
# Nothing installed or written: scenery.cfg as it was, no backup, no
# destination folder.
assert_nothing_installed() {
  assert_cfg_unchanged
  assert_no_backup
  [ ! -e "$DEST_UNIX" ] || fail "something was installed"
}
assert_installed() {  # FOLDER: the demo package's files, nothing else
  (cd "$1" && find . -type f | sort) > "$work/tree.txt"
  printf '%s\n' ./License.txt ./ReadMe.txt ./Scenery/HarbourIsland.bgl ./Scenery/Lighthouse.bgl \
    ./Scenery/Runway.bgl ./Texture/grass.r8 ./Texture/sand.bmp ./Texture/water.bmp \
    > "$work/tree-expected.txt"
  diff "$work/tree-expected.txt" "$work/tree.txt" || fail "the installed tree is not the package"
  for f in Scenery/HarbourIsland.bgl Scenery/Lighthouse.bgl Scenery/Runway.bgl Texture/grass.r8 \
           Texture/sand.bmp Texture/water.bmp License.txt ReadMe.txt; do
    cmp -s "$pkg/${f#*/}" "$1/$f" || fail "$f differs from the package's"
  done
}
assert_log() {  # TEXT: the driver saw TEXT (in a message box, say)
  grep -qF -- "$1" "$work/driver.log" || fail "the driver's log does not hold: $1"
}
# From the destination page: type DESTINATION, agree to make it, accept the
# simulator folder as proposed and press Start.
start_into() {  # DESTINATION
  printf 'type 104 "%s"\n' "$1"
  printf '%s\n' 'click 101' 'box "does not exist. Do you want to create it ?" yes' \
    "wait-page \"$TITLE\" 105 \"Enter or select the FS2000 directory.\"" 'click 101' \
    "wait-page \"$TITLE\" 100 \"The Setup programme is ready to copy files!\"" 'click 101'
}

# A whole installation that measures every page's texts on the way.
fitting_texts_steps() {
  to_licence
  printf '%s\n' 'expect-fit' 'click 101' 'expect-enabled 102 1' 'click 102'
  printf '%s\n' "wait-page \"$TITLE\" 105 \"Enter or select a destination directory.\"" 'expect-fit'
  printf '%s\n' 'click 101' 'box "does not exist. Do you want to create it ?" yes'
  printf '%s\n' "wait-page \"$TITLE\" 105 \"Enter or select the FS2000 directory.\"" 'expect-fit'
  printf '%s\n' 'choose 103 f:' 'enter 102 FS2000' 'expect-text 104 "F:\FS2000"'
  printf '%s\n' 'expect-items 102 "F:\|FS2000|Scenery"' 'expect-folder 102 0 0 open'
  printf '%s\n' 'expect-folder 102 1 1 open' 'expect-folder 102 2 2 closed' 'snap-page simulator.bmp'
  printf '%s\n' 'click 101' "wait-page \"$TITLE\" 100 \"The Setup programme is ready to copy files!\""
  printf '%s\n' 'expect-fit' 'snap-page copy-ready.bmp' 'click 101'
  printf '%s\n' "wait-page \"$TITLE\" 100 \"Congratulations! This scenery was successfully installed!\""
  printf '%s\n' 'expect-fit' 'snap-page copy-done.bmp' 'click 101' 'exit 0'
}

# The DPI of the screen for the programs started next in the prefix.
set_dpi() {  # DPI
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wine reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}

# A Windows path of the scenario's work folder for programs under Wine.
windows_path() {  # UNIX_PATH
  printf 'Z:%s' "$(echo "$1" | tr / '\\')"
}

# Packs the scenario's package into one Setup.exe, alone in the folder
# $work/alone, with scenery-pack.exe under Wine.
pack_alone() {
  mkdir -p "$work/alone"
  wine "$build/scenery-pack.exe" build "$(windows_path "$pkg")" "$(windows_path "$work/alone/Setup.exe")" \
    > "$work/pack.log" 2>&1 || { cat "$work/pack.log"; fail "scenery-pack build failed"; }
  PROGRAM='alone\Setup.exe'
}

# Runs the scenario's driver (and so Setup.exe) under Wine as an ordinary
# user, for whom Wine enforces the read-only attribute as Windows does (as
# root, Wine writes every file). The user, its home and Wine prefix are made
# on first use. Fails where the machine cannot (no useradd or runuser, a
# build folder the user may not read).
as_ordinary_user() {
  RUN_AS=scenery-e2e
  RUN_AS_HOME="$home/user-home"
  RUN_AS_PREFIX="$RUN_AS_HOME/prefix"
  command -v runuser >/dev/null 2>&1 || return 1
  id "$RUN_AS" >/dev/null 2>&1 ||
    useradd --system --no-create-home --shell /usr/sbin/nologin "$RUN_AS" >/dev/null 2>&1 || return 1
  mkdir -p "$RUN_AS_HOME" && chown "$RUN_AS": "$RUN_AS_HOME" || return 1
  runuser -u "$RUN_AS" -- test -r "$build/tests/e2e_driver.exe" || return 1
  as_user() {
    runuser -u "$RUN_AS" -- env HOME="$RUN_AS_HOME" WINEPREFIX="$RUN_AS_PREFIX" WINEDEBUG=-all \
      WINEDLLOVERRIDES="$WINEDLLOVERRIDES" DISPLAY="$DISPLAY" "$@"
  }
  if [ ! -f "$RUN_AS_PREFIX/system.reg" ]; then
    as_user wineboot -i >/dev/null 2>&1 || return 1
    as_user wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    as_user wineserver -w
  fi
  [ -d "$RUN_AS_PREFIX/dosdevices" ] || return 1
  ln -sfn "$home/drive-f" "$RUN_AS_PREFIX/dosdevices/f:"
  chown -R "$RUN_AS": "$work"
  export RUN_AS RUN_AS_HOME RUN_AS_PREFIX
}
