# A destination disk without room for the package: Start says how much the
# installation needs and how much is free before anything is written, and
# the copy page stays ready (Exit ends it); scenery.cfg is not touched. (A
# disk that fills up during the copy anyway is undone: the unit tests fail
# every write with a full disk.)
prepare() {
  mkdir -p "$work/small"
  mount -t tmpfs -o size=64k tmpfs "$work/small" 2>/dev/null || { echo "cannot mount: skipped"; exit 77; }
  head -c 40000 /dev/urandom > "$pkg/Big1.bgl"
  head -c 40000 /dev/urandom > "$pkg/Big2.bgl"
}
steps() {
  to_destination
  start_into 'G:\Harbour'
  cat <<'STEPS'
box "There is not enough room on the drive of G:\ for the installation: it needs " ok "Harbour Island Scenery" exclamation
expect-text 101 "Start"
click 102
box "Are you sure you want to exit ?" yes "Harbour Island Scenery" question
exit 1
STEPS
}
verify() {
  assert_log "KB are free."
  assert_cfg_unchanged
  assert_no_backup
  [ ! -e "$work/small/Harbour" ] || fail "a folder was made"
}
