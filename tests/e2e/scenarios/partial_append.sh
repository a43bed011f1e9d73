# scenery.cfg on a disk with room for its backup and a few bytes more: Start
# counts the backup and the room that the drive's entries need on the
# simulator's drive, says how much is needed and free before anything is
# written, and the copy page stays ready. (A library whose new contents do
# not fit after all is undone: the unit tests fill the disk at every write.)
prepare() {
  mkdir -p "$work/small"
  mount -t tmpfs -o size=16k tmpfs "$work/small" 2>/dev/null || { echo "cannot mount: skipped"; exit 77; }
  mkdir "$work/small/FS2000"
  # Two pages less 50 bytes: the backup takes two more, and 50 are left.
  cp "$sim/scenery.cfg" "$work/small/FS2000/scenery.cfg"
  size=$(wc -c < "$work/small/FS2000/scenery.cfg")
  pad=$((8192 - 50 - size))
  head -c "$pad" /dev/zero | tr '\0' ';' >> "$work/small/FS2000/scenery.cfg"
  printf '\r\n' >> "$work/small/FS2000/scenery.cfg"
  cp "$work/small/FS2000/scenery.cfg" "$work/scenery-small.cfg"
  sim="$work/small/FS2000"
}
steps() {
  to_simulator
  cat <<'STEPS'
type 104 "G:\FS2000"
click 101
wait-page "Harbour Island Scenery" 100 "The Setup programme is ready to copy files!"
click 101
box "There is not enough room on the drive of G:\FS2000 for the installation" ok "Harbour Island Scenery" exclamation
expect-text 101 "Start"
click 102
box "Are you sure you want to exit ?" yes "Harbour Island Scenery" question
exit 1
STEPS
}
verify() {
  assert_log "KB are free."
  cmp -s "$work/scenery-small.cfg" "$sim/scenery.cfg" || fail "scenery.cfg was changed"
  [ ! -e "$sim/scenery.bak" ] || fail "a backup was written"
  [ ! -e "$DEST_UNIX" ] || fail "something was installed"
}
