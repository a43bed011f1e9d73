# A destination disk that fills up during the copy: reported with the file,
# the run is undone (files and folders gone), scenery.cfg is not touched.
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
box "G:\Harbour\Scenery\" ok "Harbour Island Scenery" critical
exit 2
STEPS
}
verify() {
  assert_log "Disk full"
  assert_log "Setup undid the installation: nothing was left behind; scenery.cfg was not changed."
  assert_cfg_unchanged
  assert_no_backup
  [ ! -e "$work/small/Harbour" ] || fail "the folders made are still there"
}
