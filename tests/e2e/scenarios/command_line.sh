# The command line: a silent installation and a silent removal, each with a
# log; then a clicked installation with a log, checked line by line and
# installing exactly what the silent one did; a wrong call (the switch with
# which earlier versions deleted files, given by hand), logged where /LOG=
# stands after it, and a log that cannot be opened.
LOGS='F:\logs'
prepare() { mkdir -p "$work/drive_f/logs" && echo "the user's" > "$work/drive_f/logs/victim.txt"; }
steps() {
  cat <<STEPS
start $PROGRAM /S "/LOG=$LOGS\\silent.log"
no-box 500
exit 0
expect-program "$TITLE" "$DEST"
start-removal "$TITLE" /s "/log=$LOGS\\silent.log"
no-box 500
exit 0
expect-program "$TITLE" -
start $PROGRAM /cleanup-after 0 "$LOGS\\victim.txt" $LOGS "/LOG=$LOGS\\wrong.log"
box "Setup was started with a wrong command line: the switch /cleanup-after does not exist." ok Setup critical
exit 64
start $PROGRAM "/LOG=F:\\no such folder\\x.log"
box "the log F:\\no such folder\\x.log cannot be written" ok Setup critical
exit 64
STEPS
  printf 'start %s "/LOG=%s\\clicked.log"\n' "$PROGRAM" "$LOGS"
  to_licence | sed 1d
  printf '%s\n' 'click 101' 'click 102' "wait-page \"$TITLE\" 105 \"Enter or select a destination directory.\""
  printf '%s\n' 'click 101' 'box "does not exist. Do you want to create it ?" yes'
  printf '%s\n' "wait-page \"$TITLE\" 105 \"Enter or select the FS2000 directory.\"" 'click 101'
  printf '%s\n' "wait-page \"$TITLE\" 100 \"The Setup programme is ready to copy files!\"" 'click 101'
  printf '%s\n' "wait-page \"$TITLE\" 100 \"Congratulations! This scenery was successfully installed!\""
  printf '%s\n' 'click 101' 'exit 0'
}
# The events of a log without their times, in order.
events() { sed 's/^[0-9-]* [0-9:]* //; s/^ *//' "$1" | tr -d '\r'; }
verify() {
  assert_installed "$DEST_UNIX"
  section 005 5 "$DEST" > "$work/addition"
  assert_cfg_appended "$work/addition"
  events "$work/drive_f/logs/clicked.log" > "$work/clicked.txt"
  cat > "$work/clicked-expected.txt" <<EXPECTED
Package: Harbour Island Scenery, from the folder $(windows_path "$pkg")
Settings: destination $DEST, scenery.cfg F:\\FS2000\\scenery.cfg, backup F:\\FS2000\\scenery.bak
Made the folder F:\\FS2000\\Addon Scenery
Made the folder $DEST
Made the folder $DEST\\Scenery
Made the folder $DEST\\Texture
EXPECTED
  head -7 "$work/clicked.txt" | tail -6 | diff "$work/clicked-expected.txt" - || fail "the clicked log's first events"
  for event in "Copied HarbourIsland.bgl to $DEST\\Scenery\\HarbourIsland.bgl (" \
      "Copied ReadMe.txt to $DEST\\ReadMe.txt (" "Made the backup F:\\FS2000\\scenery.bak of F:\\FS2000\\scenery.cfg" \
      "Appended the area [Area.005] to F:\\FS2000\\scenery.cfg: Title=Harbour Island, Local=$DEST" \
      "Wrote the removal record into C:\\Program Files" "\\Scenery Setup\\scenery-setup-" "\\Uninstall.exe (8 files, 3 folders)" \
      "Wrote the entry" "Exit code 0"; do
    grep -qF -- "$event" "$work/clicked.txt" || fail "the clicked log lacks: $event"
  done
  events "$work/drive_f/logs/silent.log" > "$work/silent.txt"
  grep -q 'installing without windows' "$work/silent.txt" || fail "the silent log lacks its start"
  # The silent installation did what the clicked one did, file for file and area for area.
  # ("Addon Scenery", above the destination, is made by each: the silent
  # removal took it away with the destination, empty.)
  run_events() {
    grep -E '^(Made the|Copied|Appended|Wrote the removal)' "$1" | grep -vF 'Scenery Setup' |
      sed '/^Wrote the removal/q'
  }
  run_events "$work/silent.txt" > "$work/silent-run.txt"
  run_events "$work/clicked.txt" > "$work/clicked-run.txt"
  diff "$work/clicked-run.txt" "$work/silent-run.txt" || fail "the silent installation differs from the clicked one"
  grep -qF "Harbour Island Scenery was removed from this computer." "$work/silent.txt" || fail "no removal in the log"
  events "$work/drive_f/logs/wrong.log" > "$work/wrong.txt"
  grep -qF "the switch /cleanup-after does not exist" "$work/wrong.txt" && grep -q '^Exit code 64' "$work/wrong.txt" ||
    fail "the wrong call before /LOG= is not logged"
  [ -f "$work/drive_f/logs/victim.txt" ] || fail "a switch given by hand deleted a file"
  [ "$(grep -c '^Exit code 0' "$work/silent.txt")" -eq 2 ] || fail "the silent log lacks an exit code"
}
