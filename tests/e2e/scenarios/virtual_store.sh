# FS 2000 under C:\Program Files, whose library FS 2000 saved, as an
# ordinary user does on Vista and later, into the user's VirtualStore,
# where Windows gives it to FS 2000 from then on; and FS 2000 still running
# when Start is clicked. Start waits: Retry while it runs asks again, Cancel
# goes back to the ready page, and once it has ended the run goes. The area
# goes into both libraries, each numbered after its own areas and backed up
# beside it; the removal takes it out of both, each its old bytes again.
SIM_UNIX="$WINEPREFIX/drive_c/Program Files/FS2000"
STORE_UNIX="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/VirtualStore"
COPY_UNIX="$STORE_UNIX/Program Files/FS2000"
prepare() {
  mkdir -p "$SIM_UNIX" "$COPY_UNIX"
  cp "$sim/scenery.cfg" "$SIM_UNIX/"
  cp "$build/tests/e2e_driver.exe" "$SIM_UNIX/FS2000.EXE"
  { cat "$sim/scenery.cfg"
    printf '[Area.009]\r\nTitle=My Own Field\r\nLocal=D:\\My Field\r\nActive=FALSE\r\nLayer=9\r\n'
  } > "$COPY_UNIX/scenery.cfg"
  cp "$SIM_UNIX/scenery.cfg" "$work/real-before.cfg"
  cp "$COPY_UNIX/scenery.cfg" "$work/copy-before.cfg"
}
restore() { rm -rf "$SIM_UNIX" "$STORE_UNIX"; }
steps() {
  RUNNING='FS 2000 is running from its folder C:\Program Files\FS2000 (FS2000.EXE).'
  cat <<STEPS
launch "C:\\Program Files\\FS2000\\FS2000.EXE" --idle
start $PROGRAM "/FS=C:\\Program Files\\FS2000" "/LOG=F:\\install.log"
STEPS
  to_simulator | sed 1d
  cat <<STEPS
expect-text 104 "C:\\Program Files\\FS2000"
click 101
wait-page "$TITLE" 100 "The Setup programme is ready to copy files!"
click 101
box "$RUNNING" retry "$TITLE" exclamation
box "and could write its library back without it.{CRLF}{CRLF}Please close FS 2000, then click Retry." cancel "$TITLE" exclamation
wait-page "$TITLE" 100 "The Setup programme is ready to copy files!"
expect-visible 101 1
end-launched
click 101
wait-page "$TITLE" 100 "Congratulations! This scenery was successfully installed!"
click 101
exit 0
start-removal "$TITLE" "/LOG=F:\\removal.log"
box "Do you want to remove Harbour Island Scenery from this computer?" yes "$TITLE" question
box "Harbour Island Scenery was removed from this computer." ok "$TITLE" information
exit 0
STEPS
}
verify() {
  cmp "$work/real-before.cfg" "$SIM_UNIX/scenery.cfg" || fail "scenery.cfg is not its old bytes again"
  cmp "$work/copy-before.cfg" "$COPY_UNIX/scenery.cfg" || fail "the copy is not its old bytes again"
  # The removal's backups hold what the installation made of each.
  section 005 5 "$DEST" > "$work/real-area"
  section 010 10 "$DEST" > "$work/copy-area"
  cat "$work/real-before.cfg" "$work/real-area" | cmp - "$SIM_UNIX/scenery.bak" \
    || fail "scenery.cfg did not get the area as its fifth"
  cat "$work/copy-before.cfg" "$work/copy-area" | cmp - "$COPY_UNIX/scenery.bak" \
    || fail "the copy did not get the area as its tenth"
  copy='C:\users\'"$(id -un)"'\AppData\Local\VirtualStore\Program Files\FS2000\scenery.cfg'
  grep -qF "FS 2000 reads $copy" "$work/drive_f/install.log" || fail "the log does not name the copy"
  grep -qF "Appended the area [Area.010] to $copy" "$work/drive_f/install.log" \
    || fail "the log does not name the copy's area"
  grep -qF "the area goes from it too" "$work/drive_f/removal.log" || fail "the removal's log does not name the copy"
  [ -z "$(find "$SIM_UNIX" "$COPY_UNIX" -name '~sc*')" ] || fail "a spare file was left"
}
