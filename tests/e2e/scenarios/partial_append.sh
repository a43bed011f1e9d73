# scenery.cfg on a disk with room for its backup and a few bytes more: the
# new contents, written beside it before they take its place, do not fit,
# and scenery.cfg stays whole; the run is undone.
prepare() {
  mkdir -p "$work/small"
  mount -t tmpfs -o size=16k tmpfs "$work/small" 2>/dev/null || { echo "cannot mount: skipped"; exit 77; }
  mkdir "$work/small/FS2000"
  # Two pages less 50 bytes: the backup takes two more, the append finds 50.
  cp "$sim/scenery.cfg" "$work/small/FS2000/scenery.cfg"
  size=$(wc -c < "$work/small/FS2000/scenery.cfg")
  pad=$((8192 - 50 - size))
  head -c "$pad" /dev/zero | tr '\0' ';' >> "$work/small/FS2000/scenery.cfg"
  printf '\r\n' >> "$work/small/FS2000/scenery.cfg"
  sim="$work/small/FS2000"
}
steps() {
  to_simulator
  cat <<'STEPS'
type 104 "G:\FS2000"
click 101
wait-page "Harbour Island Scenery" 100 "The Setup programme is ready to copy files!"
click 101
box "G:\FS2000\scenery.cfg" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Setup could not write the new contents of the file"
  assert_log "Setup undid the installation: nothing was left behind; scenery.cfg was not changed."
  assert_nothing_installed
}
